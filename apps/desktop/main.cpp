// brevanto: the stand-alone desktop host. Reads the settings (configuration file, then the
// command line), creates the demo database on first run, and offers the four correlation
// kinds in its main window.

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <iostream>

#include "apps/common/ItalianCli.h"
#include "apps/common/PrintableOutput.h"
#include "db/DatabaseSchema.h"
#include "gui/ThreadPoolDrain.h"
#include "gui/DesktopShell.h"
#include "gui/ShellSetup.h"
#include "gui/Screenshot.h"
#include "gui/Support.h"
#include "gui/Translations.h"
#include "hostdb/BackendSchema.h"

int main(int argc, char** argv) {
    db::setDatabaseSchema(hostdb::backendSchema());
    // Arguments are echoed in messages: none may drive the terminal.
    brevanto::apps::PrintableOutput printableOutput;
    CLI::App cli{"Brevanto: correlazione dei PdC", "brevanto"};
    cli.allow_extras();   // Qt's own options (-platform, -style ...) pass through
    std::string conn, kind, screenshot, config, module, header;
    std::optional<std::int32_t> company;
    std::optional<std::int16_t> levels;
    bool modeless = false;
    cli.add_option("--conn", conn, "Stringa di connessione al database");
    cli.add_option("--company", company, "Codice ditta")->check(CLI::Range(0, 999999999));
    cli.add_option("--levels", levels, "Numero di livelli del PdC")->check(CLI::Range(1, 9));
    cli.add_option("--kind", kind, "Correlazione da aprire all'avvio: coge, coin, hype, cons (o 0-3)");
    cli.add_option("--screenshot", screenshot, "Salva l'immagine dell'editor in un file PNG ed esce");
    cli.add_option("--header", header, "Con --screenshot: codici del PdC e del PdC di riclassificazione da digitare, es. 10,101");
    std::string account, window;
    int width = 0, height = 0;
    cli.add_option("--account", account, "Con --screenshot: conto da cercare prima dell'immagine");
    cli.add_option("--window", window, "Con --screenshot: finestra da salvare (editor, intermedi, cee, anteprima)");
    cli.add_option("--width", width, "Con --screenshot: larghezza della finestra in pixel")->check(CLI::Range(0, 8000));
    cli.add_option("--height", height, "Con --screenshot: altezza della finestra in pixel")->check(CLI::Range(0, 8000));
    cli.add_option("--config", config, "File di configurazione (altrimenti quello dell'utente)");
    cli.add_option("--module", module, "File del modulo libbrevanto.so");
    cli.add_flag("--modeless", modeless, "Apre le correlazioni in finestre non modali");
    brevanto::apps::italianise(cli, "brevanto");
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return cli.exit(e);
    }

    std::optional<gui::CorrelationKindEntry> startKind;
    if (!kind.empty()) {
        startKind = gui::findKind(kind);
        if (!startKind) {
            std::cerr << "Errore: tipo di correlazione '" << kind << "' sconosciuto (coge, coin, hype, cons)\n";
            return 2;
        }
    }
    if (!screenshot.empty() && !startKind) startKind = gui::findKind("coge");

    standalone::SettingsOverrides overrides;
    if (!config.empty()) overrides.configFile = config;
    if (!conn.empty()) overrides.connectionString = conn;
    overrides.companyCode = company;
    overrides.ledgerLevels = levels;
    if (modeless) overrides.modal = false;
    standalone::Settings settings;
    try {
        settings = standalone::loadSettings(overrides);
    } catch (const std::exception& e) {
        std::cerr << "Errore nelle impostazioni: " << e.what() << '\n';
        return 2;
    }

    QApplication app(argc, argv);
    gui::ThreadPoolDrain drainThreadPool;
    QApplication::setApplicationName(QString::fromUtf8(standalone::kApplicationTitle));
    gui::installItalianTranslations(app);

    gui::DesktopShell::Options options;
    options.settings = settings;
    options.settingsFile = config.empty() ? standalone::defaultConfigFile() : std::filesystem::path(config);
    options.module = module;
#ifdef BREVANTO_MODULE_BUILD_FILE
    options.fallbackModule = BREVANTO_MODULE_BUILD_FILE;
#endif
    gui::DesktopShell shell(options);
    // A picture is taken without a user: a message the windows would show goes to standard
    // error, and an error among them fails the run.
    if (!screenshot.empty()) shell.dialogs().setUnattended(&std::cerr);

    QString error;
    if (!shell.prepareDatabase(&error)) {
        std::cerr << gui::ss(error) << '\n';
        if (!screenshot.empty()) return 1;
        QMessageBox::critical(nullptr, shell.windowTitle(), error);
        return 1;
    }
    if (!shell.databaseNotice().isEmpty()) std::cout << gui::ss(shell.databaseNotice()) << std::endl;

    if (!screenshot.empty()) {
        gui::ScreenshotRequest request;
        request.kind = startKind->kind;
        request.file = screenshot;
        const auto comma = header.find(',');
        request.chartCode = header.substr(0, comma);
        request.reclChartCode = comma == std::string::npos ? std::string() : header.substr(comma + 1);
        request.account = account;
        if (width > 0 && height > 0) request.size = QSize(width, height);
        if (!gui::parseScreenshotWindow(window, request.window)) {
            std::cerr << "Errore: finestra '" << window << "' sconosciuta (editor, intermedi, cee)\n";
            return 2;
        }
        if (!gui::takeScreenshot(shell, request, &error)) {
            std::cerr << "Errore: " << gui::ss(error) << '\n';
            return 1;
        }
        std::cout << "Immagine salvata in " << screenshot << '\n';
        return 0;
    }

    shell.show();
    if (startKind) {
        int k = startKind->kind;
        QTimer::singleShot(0, &shell, [&shell, k] { shell.openKind(k); });
    }
    return app.exec();
}
