#pragma once
// The subcommands of brevanto-cli. Each cmd_*.cpp file defines one set-up function that adds
// its subcommand (options and callback) to the application; main.cpp calls them in order.
// A callback reports failure by throwing CLI::RuntimeError(exit code) after printing why.

namespace CLI {
class App;
}

namespace brevanto::cli {

void setupDbCommand(CLI::App& app);     // db init
void setupSqlCommand(CLI::App& app);    // sql
void setupListCommand(CLI::App& app);   // list
void setupAutomateCommand(CLI::App& app);   // automate
void setupExportCommand(CLI::App& app);     // export
void setupPrintCommand(CLI::App& app);      // print
void setupCorrelationsCommand(CLI::App& app);   // correlations export|import
void setupCheckCommand(CLI::App& app);      // check
void setupCrossCommand(CLI::App& app);      // cross
void setupBalancesCommand(CLI::App& app);   // balances import|list
void setupHistoryCommand(CLI::App& app);    // history
void setupPreviewCommand(CLI::App& app);    // preview

}  // namespace brevanto::cli
