#include "apps/cli/CliSupport.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <stdexcept>

namespace brevanto::cli {

std::string sqliteConnectionString(const std::string& dir, const std::string& database) {
    return "Provider=SQLite;database=" + database + ";Data Source=" + dir;
}

std::string resolveConnectionString(const std::string& conn, const std::string& dir) {
    if (!conn.empty()) return conn;
    if (!dir.empty()) {
        if (dir.find(';') != std::string::npos)
            throw std::runtime_error("La cartella '" + dir +
                                     "' contiene ';' e non può stare in una stringa di connessione: usare --conn");
        return sqliteConnectionString(dir);
    }
    if (const char* env = std::getenv("BREVANTO_CONNECTION"); env && *env) return env;
    throw std::runtime_error(
        "Nessuna connessione indicata: usare --dir CARTELLA, --conn STRINGA o la variabile BREVANTO_CONNECTION");
}

std::optional<std::string> connectionStringOrExplain(const std::string& conn, const std::string& dir) {
    try {
        return resolveConnectionString(conn, dir);
    } catch (const std::runtime_error& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return std::nullopt;
    }
}

void addConnectionOptions(CLI::App& cmd, std::string& conn, std::string& dir) {
    auto* c = cmd.add_option("--conn", conn, "Stringa di connessione (es. Provider=SQLite;database=BREVANTO;Data Source=DIR)");
    auto* d = cmd.add_option("--dir", dir, "Cartella del database SQLite BREVANTO.db");
    c->excludes(d);
}

std::string headerOptionsProblem(bool cons, const std::string& pdc, const std::string& intercompany) {
    if (cons && intercompany.empty()) return "la correlazione CONS richiede --intercompany (la struttura intercompany)";
    if (!cons && !intercompany.empty()) return "--intercompany vale solo per la correlazione CONS";
    if (!cons && pdc.empty()) return "indicare con --pdc il piano dei conti da riclassificare";
    return {};
}

void addChartOptions(CLI::App& cmd, ChartOptions& o, const std::string& kinds) {
    cmd.add_option("--kind", o.kind, kinds)->required();
    cmd.add_option("--pdc", o.pdc, "PdC da riclassificare (in COIN il PdC analitico)");
    cmd.add_option("--ricl", o.ricl, "PdC di riclassificazione")->required();
    cmd.add_option("--intercompany", o.intercompany, "Struttura intercompany (CONS)");
    cmd.add_option("--ditta", o.company, "Codice della ditta corrente (predefinito 1)");
}

void setCommandBody(CLI::App& cmd, std::function<int()> body) {
    cmd.callback([body = std::move(body)] {
        int rc = 1;
        try {
            rc = body();
        } catch (const std::exception& e) {
            std::cerr << "Errore: " << e.what() << '\n';
        }
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

std::size_t displayWidth(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

void printTableLine(std::ostream& out, const std::vector<std::size_t>& widths, const std::vector<std::string>& cells) {
    std::string text;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const std::string cell = i < cells.size() ? cells[i] : "";
        text += cell;
        if (i + 1 < widths.size()) text += std::string(widths[i] - displayWidth(cell) + 2, ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << '\n';
}

void printTableHead(std::ostream& out, const std::vector<std::size_t>& widths, const std::vector<std::string>& headers) {
    printTableLine(out, widths, headers);
    std::vector<std::string> rule;
    for (auto w : widths) rule.push_back(std::string(w, '-'));
    printTableLine(out, widths, rule);
}

void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(headers.size(), 0);
    for (std::size_t i = 0; i < headers.size(); ++i) widths[i] = displayWidth(headers[i]);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row[i]));
    printTableHead(out, widths, headers);
    for (const auto& row : rows) printTableLine(out, widths, row);
}

std::string cellText(const db::Variant& v) {
    if (v.isNull()) return "NULL";
    return v.toText();
}

nlohmann::ordered_json toJson(const db::Variant& v) {
    switch (v.type()) {
    case db::Variant::Type::Empty:
    case db::Variant::Type::Null:
    case db::Variant::Type::Object: return nullptr;
    case db::Variant::Type::Integer: return v.toInt64();
    case db::Variant::Type::Boolean: return v.toBool();
    case db::Variant::Type::Double:
    case db::Variant::Type::Decimal: {
        double d = v.toDouble();
        if (d == static_cast<double>(static_cast<long long>(d)) && d > -9e15 && d < 9e15)
            return static_cast<long long>(d);
        return d;
    }
    case db::Variant::Type::Text: return v.toText();
    }
    return nullptr;
}

nlohmann::ordered_json toJson(const db::ResultSet& rs) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& row : rs.rows) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < rs.fields.size(); ++i)
            object[rs.fields[i].name] = i < row.size() ? toJson(row[i]) : nlohmann::ordered_json(nullptr);
        array.push_back(std::move(object));
    }
    return array;
}

void printErrors(std::ostream& err, const std::vector<db::ErrorItem>& items) {
    for (const auto& item : items)
        err << "Errore: " << item.description << " (codice nativo " << item.nativeError << ", SQLSTATE "
            << (item.sqlState.empty() ? "-----" : item.sqlState) << ")\n";
}

}  // namespace brevanto::cli
