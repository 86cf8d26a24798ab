#include "apps/common/ItalianCli.h"

#include <functional>
#include <regex>

namespace brevanto::apps {

namespace {

constexpr const char* kOptionsGroup = "Opzioni";
constexpr const char* kCommandsGroup = "Comandi";
constexpr const char* kHelpText = "Mostra questo aiuto ed esce";

void italianiseTree(CLI::App& app) {
    // Options take their group when they are made, before a caller could rename it.
    for (CLI::Option* o : app.get_options())
        if (o->get_group() == "Options") o->group(kOptionsGroup);
    for (CLI::App* sub : app.get_subcommands({})) {
        if (sub->get_group() == "Subcommands") sub->group(kCommandsGroup);
        italianiseTree(*sub);
    }
}

bool matches(const std::string& text, const char* pattern, std::smatch& m) {
    return std::regex_match(text, m, std::regex(pattern));
}

std::string rangeText(const std::string& detail) {
    std::smatch m;
    if (matches(detail, R"(Value (.*) not in range (\S+) to (\S+))", m)) {
        std::string low = m[2], high = m[3];
        // Bounds print as doubles ("1.000000"); a whole bound reads better without decimals.
        for (std::string* b : {&low, &high}) {
            auto dot = b->find('.');
            if (dot != std::string::npos && b->find_first_not_of('0', dot + 1) == std::string::npos) b->erase(dot);
        }
        if (high.size() > 12) return "il valore " + std::string(m[1]) + " non è ammesso (minimo " + low + ")";
        return "il valore " + std::string(m[1]) + " non è compreso tra " + low + " e " + high;
    }
    if (matches(detail, R"(File does not exist: (.*))", m)) return "il file " + std::string(m[1]) + " non esiste";
    if (matches(detail, R"(Directory does not exist: (.*))", m)) return "la cartella " + std::string(m[1]) + " non esiste";
    return detail;
}

}  // namespace

std::string italianParseMessage(const CLI::Error& e) {
    // Some errors carry the subcommand's name instead of their class name: go by the text.
    const std::string what = e.what();
    std::smatch m;
    if (matches(what, R"(The following arguments? (?:was|were) not expected: (.*))", m))
        return "Argomenti non previsti: " + std::string(m[1]);
    if (what == "A subcommand is required") return "Indicare un comando";
    if (matches(what, R"((\S+) is required)", m)) return "Manca l'opzione obbligatoria " + std::string(m[1]);
    if (matches(what, R"((\S+): \d+ required .* missing)", m)) return "Manca il valore dell'opzione " + std::string(m[1]);
    if (matches(what, R"(Could not convert: (\S+) = (.*))", m))
        return "Valore non valido per " + std::string(m[1]) + ": " + std::string(m[2]);
    if (matches(what, R"(The value (.*) is not an allowed value for (\S+))", m))
        return "Il valore " + std::string(m[1]) + " non è ammesso per " + std::string(m[2]);
    if (matches(what, R"((\S+): Should be true/false or a number)", m))
        return "L'opzione " + std::string(m[1]) + " vuole true, false o un numero";
    if (matches(what, R"((\S+) requires (\S+))", m))
        return "L'opzione " + std::string(m[1]) + " richiede anche " + std::string(m[2]);
    if (matches(what, R"((\S+) excludes (\S+))", m))
        return "Le opzioni " + std::string(m[1]) + " e " + std::string(m[2]) + " non vanno insieme";
    if (matches(what, R"((.*) was not readable \(missing\?\))", m)) return "Impossibile leggere " + std::string(m[1]);
    if (e.get_name() == "ValidationError" && matches(what, R"((\S+): (.*))", m))
        return "Valore non valido per " + std::string(m[1]) + ": " + rangeText(m[2]);
    return "Riga di comando non valida: " + what;
}

void italianise(CLI::App& app, const std::string& program) {
    auto f = app.get_formatter();
    f->label("Usage", "Uso");
    f->label("OPTIONS", "OPZIONI");
    f->label("SUBCOMMAND", "COMANDO");
    f->label("SUBCOMMANDS", "COMANDI");
    f->label("Positionals", "Argomenti");
    f->label("REQUIRED", "OBBLIGATORIA");
    f->label("Needs", "Richiede");
    f->label("Excludes", "Esclude");
    f->label("Env", "Variabile");
    f->label("TEXT", "TESTO");
    f->label("INT", "INTERO");
    f->label("UINT", "NATURALE");
    f->label("FLOAT", "NUMERO");
    f->label("BOOLEAN", "BOOLEANO");
    f->label("NONNEGATIVE", "NON NEGATIVO");
    f->label("POSITIVE", "POSITIVO");
    f->label("FILE", "FILE");
    f->label("DIR", "CARTELLA");
    std::function<void(CLI::App&)> helpTexts = [&](CLI::App& a) {
        if (CLI::Option* help = a.get_help_ptr()) help->description(kHelpText);
        for (CLI::App* sub : a.get_subcommands({})) helpTexts(*sub);
    };
    helpTexts(app);
    italianiseTree(app);
    app.failure_message([program](const CLI::App*, const CLI::Error& e) {
        return "Errore: " + italianParseMessage(e) + "\nPer l'aiuto: " + program + " --help\n";
    });
}

}  // namespace brevanto::apps
