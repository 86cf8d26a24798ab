#pragma once
// Files for the correlation-file tests: texts written as they are, and .xlsx archives put
// together part by part (by Python's zipfile, independent of the reader under test).

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "mapping/CorrelationFile.h"
#include "support/TestSupport.h"

namespace mappingtest {

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// The header as a CSV line with `separator`.
inline std::string headerLine(char separator = ';') {
    std::string line;
    for (const char* c : mapping::kFileColumns) line += (line.empty() ? "" : std::string(1, separator)) + c;
    return line;
}

// A workbook whose first sheet is `sheetData` (the inside of <sheetData>), with `shared` as
// its shared strings (the inside of <sst>, none when empty). `parts` adds or replaces parts.
inline void writeXlsx(const std::filesystem::path& file, const std::string& sheetData, const std::string& shared = "",
                      std::map<std::string, std::string> parts = {}) {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    parts.try_emplace("xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
                                             "\"><sheets><sheet name=\"Dati\" sheetId=\"7\" r:id=\"rId3\"/>"
                                             "<sheet name=\"Altro\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    parts.try_emplace("xl/_rels/workbook.xml.rels",
                      "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                      "<Relationship Id=\"rId3\" Type=\"" + rel + "/worksheet\" Target=\"/xl/worksheets/dati.xml\"/>"
                      "<Relationship Id=\"rId9\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    parts.try_emplace("xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + ns + "\"><sheetData/></worksheet>");
    parts.try_emplace("xl/worksheets/dati.xml", "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns + "\"><sheetData>" + sheetData +
                                                    "</sheetData></worksheet>");
    if (!shared.empty()) parts.try_emplace("xl/sharedStrings.xml", "<sst xmlns=\"" + ns + "\">" + shared + "</sst>");
    testsupport::TempDir folder;
    std::string list;
    for (const auto& [name, content] : parts) {
        const auto path = folder.path() / name;
        std::filesystem::create_directories(path.parent_path());
        writeBytes(path, content);
        list += " '" + name + "'";
    }
    const auto r = testsupport::runCommand(
        "cd '" + folder.str() + "' && /usr/bin/python3 -c 'import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1], \"w\", zipfile.ZIP_DEFLATED) as z:\n"
        "    [z.write(p) for p in sys.argv[2:]]' '" + file.string() + "'" + list);
    if (r.exitCode != 0) throw std::runtime_error("zip: " + r.err);
}

// The header row of a sheet, as inline strings in columns A to I.
inline std::string headerXml() {
    std::string row = "<row r=\"1\">";
    char column = 'A';
    for (const char* c : mapping::kFileColumns)
        row += std::string("<c r=\"") + column++ + "1\" t=\"inlineStr\"><is><t>" + c + "</t></is></c>";
    return row + "</row>";
}

}  // namespace mappingtest
