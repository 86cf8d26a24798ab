#include "GoldenFile.h"

#include "support/TestSupport.h"

#include <sstream>
#include <stdexcept>

namespace tsqltest {

std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            if (c == 'r') out += '\r';
            else if (c == 'n') out += '\n';
            else if (c == 't') out += '\t';
            else if (c == '\\') out += '\\';
            else if (c == 'x' && i + 2 < s.size()) {
                out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
            else throw std::runtime_error("unknown escape \\" + std::string(1, c));
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<GoldenCase> readGoldenFile(const std::filesystem::path& file) {
    std::istringstream in(testsupport::readFile(file));
    std::vector<GoldenCase> cases;
    std::string line;
    int lineNo = 0;
    enum { None, Input, Expected } state = None;
    std::vector<std::string> expectedLines;
    auto finish = [&] {
        if (cases.empty()) return;
        std::string e;
        while (!expectedLines.empty() && expectedLines.back().empty()) expectedLines.pop_back();
        for (std::size_t i = 0; i < expectedLines.size(); ++i) e += (i ? "\n" : "") + expectedLines[i];
        cases.back().expected = e;
        expectedLines.clear();
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.rfind("====", 0) == 0) {
            finish();
            GoldenCase c;
            c.name = line.substr(line.find_first_not_of("= ") == std::string::npos ? line.size()
                                                                                    : line.find_first_not_of("= "));
            c.line = lineNo;
            cases.push_back(c);
            state = Input;
            continue;
        }
        if (state == None) continue;
        if (state == Input) {
            if (line == "----") {
                state = Expected;
            } else if (line.rfind("@main ", 0) == 0) {
                cases.back().mainDatabase = line.substr(6);
            } else if (line.rfind("#", 0) != 0) {
                cases.back().input += unescape(line);
            }
        } else if (line.rfind("#", 0) != 0) {
            expectedLines.push_back(line);
        }
    }
    finish();
    return cases;
}

std::string renderTranslation(const db::tsql::Translation& t) {
    std::string out;
    for (const auto& s : t.steps) {
        if (!out.empty()) out += "\n";
        out += s.sql;
        if (s.returnsRows) out += "\n  -> rows";
        if (!s.captureInto.empty()) out += "\n  -> capture " + s.captureInto;
        if (!s.failWhenNonZero.empty()) out += "\n  -> fail when non-zero";
    }
    if (!t.attachedDatabases.empty()) {
        out += "\nattach:";
        for (std::size_t i = 0; i < t.attachedDatabases.size(); ++i) out += (i ? ", " : " ") + t.attachedDatabases[i];
    }
    if (t.atomic) out += "\natomic";
    return out;
}

}  // namespace tsqltest
