#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"brevanto-cli: the Brevanto command-line tool"};
    app.require_subcommand(1);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
