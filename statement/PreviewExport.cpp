#include "statement/PreviewExport.h"

#include <algorithm>

#include "standalone/XlsxWorkbook.h"

namespace statement {

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string lineCode(const LoadedPreview& loaded, const PreviewLine& line) {
    return line.inChart ? loaded.shownTarget(line.code) : line.code;
}

}  // namespace

std::string previewTitle(const LoadedPreview& loaded) {
    std::string title = std::string(kPreviewTitle) + " - " + mapping::describeScope(loaded.scope);
    if (!loaded.preview.date().empty()) title += " al " + italianDate(loaded.preview.date());
    return title;
}

std::vector<std::pair<std::string, std::string>> previewHeading(const LoadedPreview& loaded) {
    std::vector<std::pair<std::string, std::string>> out = {
        {"Tipo di correlazione", mapping::kindName(loaded.scope.kind)},
        {"PdC", loaded.scope.chart + (loaded.chartDescription.empty() ? "" : " " + loaded.chartDescription)},
        {"PdC di riclassificazione",
         loaded.scope.reclChart + (loaded.reclChartDescription.empty() ? "" : " " + loaded.reclChartDescription)},
    };
    if (loaded.scope.kind == mapping::CorrelationKind::CONS)
        out.emplace_back("Struttura intercompany", loaded.scope.intercompany);
    out.emplace_back("Ditta", loaded.scope.company);
    out.emplace_back("Data del bilancio", loaded.preview.date().empty() ? loaded.notice : italianDate(loaded.preview.date()));
    return out;
}

std::string describeWarning(const LoadedPreview& loaded, const SignWarning& w) {
    std::string account = loaded.shownAccount(w.account);
    const std::string description = loaded.accountDescription(w.account);
    if (!description.empty()) account += " " + description;
    return "Conto " + account + ": saldo " + mapping::signName(w.sign) + " " + formatAmount(w.amount) + " al " +
           italianDate(w.date) + ", riga " + mapping::signName(w.sign) + " non correlata";
}

std::vector<standalone::ExportSection> previewSections(const LoadedPreview& loaded) {
    using standalone::ExportSection;
    std::vector<ExportSection> sections;
    ExportSection heading;
    for (const auto& [caption, value] : previewHeading(loaded)) {
        heading.captions.push_back(caption);
        heading.values.emplace_back(value);
    }
    sections.push_back(std::move(heading));

    ExportSection lines;
    lines.kind = ExportSection::Kind::Detail;
    lines.caption = kPreviewTitle;
    lines.captions = {"Conto riclassificato", "Descrizione", "Livello", "Importo", "Conti"};
    for (const auto& l : loaded.preview.lines())
        lines.rows.push_back({lineCode(loaded, l), l.description, static_cast<std::int64_t>(l.level),
                              db::Variant::decimal(amountValue(l.total)), static_cast<std::int64_t>(l.accounts)});
    sections.push_back(std::move(lines));

    const auto warnings = loaded.preview.warnings();
    if (!warnings.empty()) {
        ExportSection count;
        count.captions = {"Saldi con segno non correlato"};
        count.values = {static_cast<std::int64_t>(warnings.size())};
        sections.push_back(std::move(count));
        ExportSection table;
        table.kind = ExportSection::Kind::Detail;
        table.caption = "Saldi con segno non correlato";
        table.captions = {"Conto", "Descrizione", "Data", "Segno", "Importo"};
        for (const auto& w : warnings)
            table.rows.push_back({loaded.shownAccount(w.account), loaded.accountDescription(w.account),
                                  italianDate(w.date), mapping::signName(w.sign),
                                  db::Variant::decimal(amountValue(w.amount))});
        sections.push_back(std::move(table));
    }
    return sections;
}

void writePreviewXlsx(const LoadedPreview& loaded, const std::filesystem::path& file) {
    standalone::writeWorkbook(file, previewTitle(loaded), previewSections(loaded));
}

std::string previewHtml(const LoadedPreview& loaded, const std::string& printedAt) {
    std::string h = "<html><head><meta charset=\"utf-8\"><style>"
                    "body{font-family:'DejaVu Sans';font-size:9pt} h1{font-size:13pt} h2{font-size:11pt}"
                    "td,th{padding:1px 6px} th{text-align:left;border-bottom:1px solid black}"
                    ".n{text-align:right} .t{font-weight:bold}</style></head><body>";
    h += "<h1>" + escaped(kPreviewTitle) + "</h1><table>";
    for (const auto& [caption, value] : previewHeading(loaded))
        h += "<tr><td>" + escaped(caption) + "</td><td>" + escaped(value) + "</td></tr>";
    h += "<tr><td>Stampato il</td><td>" + escaped(printedAt) + "</td></tr></table><br>";
    if (!loaded.notice.empty()) h += "<p>" + escaped(loaded.notice) + "</p>";
    h += "<table width=\"100%\" cellspacing=\"0\"><tr><th>Conto</th><th>Descrizione</th>"
         "<th class=\"n\">Importo</th></tr>";
    for (const auto& l : loaded.preview.lines()) {
        const bool heading = !l.analytic || !l.inChart;
        const std::string cls = heading ? " class=\"t\"" : "";
        const std::string indent(static_cast<std::size_t>(std::max(0, l.level - 1)) * 4, ' ');
        std::string pad;
        for (char c : indent) pad += c == ' ' ? "&nbsp;" : "";
        h += "<tr><td" + cls + ">" + pad + escaped(lineCode(loaded, l)) + "</td><td" + cls + ">" + escaped(l.description) +
             "</td><td class=\"n" + (heading ? " t" : "") + "\">" + formatAmount(l.total) + "</td></tr>";
    }
    h += "</table>";
    const auto warnings = loaded.preview.warnings();
    if (!warnings.empty()) {
        h += "<h2>Saldi con segno non correlato (" + std::to_string(warnings.size()) + ")</h2><ul>";
        for (const auto& w : warnings) h += "<li>" + escaped(describeWarning(loaded, w)) + "</li>";
        h += "</ul>";
    }
    return h + "</body></html>";
}

}  // namespace statement
