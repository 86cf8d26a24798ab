#include "mapping/CsvSheet.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "standalone/FileReplacement.h"

namespace mapping::detail {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Offset of the first byte that is not part of a well-formed UTF-8 sequence, npos when none.
std::size_t firstInvalidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {   // eight ASCII bytes at a time
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > n) return i;
        const unsigned char lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;   // no surrogates, nothing past U+10FFFF
        if (p[i + 1] < lo || p[i + 1] > hi) return i;
        for (std::size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return i;
        i += len;
    }
    return std::string_view::npos;
}

// The separator of the first non-empty line: `;` unless it holds more commas (outside quotes).
char separatorOf(std::string_view bytes) {
    std::size_t semicolons = 0, commas = 0;
    bool quoted = false, started = false;
    for (char c : bytes) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r')) {
            if (started) break;
            continue;
        } else if (!quoted && c == ';') ++semicolons;
        else if (!quoted && c == ',') ++commas;
        started = true;
    }
    return commas > semicolons ? ',' : ';';
}

bool needsQuotes(const std::string& s) { return s.find_first_of(";,\"\r\n") != std::string::npos; }

// A description as a spreadsheet should show it: a leading = + - @ (or a tab or carriage
// return) would make it a formula, so an apostrophe goes in front.
bool needsProtection(const std::string& s) { return !s.empty() && std::strchr("=+-@\t\r", s.front()) != nullptr; }

void appendField(std::string& out, const std::string& s, bool description) {
    const bool protect = description && needsProtection(s);
    if (!needsQuotes(s)) {
        if (protect) out += '\'';
        out += s;
        return;
    }
    out += '"';
    if (protect) out += '\'';
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void readCsv(std::string_view bytes, SheetTable& table) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        table.addFileProblem("Il file è in UTF-16 (\"Testo Unicode\"): salvarlo come \"CSV UTF-8\".");
        return;
    }
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    if (bytes.empty()) {
        table.addFileProblem("Il file è vuoto.");
        return;
    }
    const std::size_t invalid = firstInvalidUtf8(bytes);
    const char separator = separatorOf(bytes);
    const std::size_t n = bytes.size();
    std::vector<RawCell> cells;
    RawCell ignored;   // the cells of a row past those the table keeps
    std::size_t pos = 0;
    for (int line = 1; pos < n; ++line) {
        if (line > kMaxSheetRows) {
            table.addFileProblem("Il file ha più di " + std::to_string(kMaxSheetRows) +
                                 " righe, più di quante un foglio di calcolo ne contenga.");
            return;
        }
        const std::size_t keep = table.cellsToKeep(kMaxSheetColumns);
        if (cells.size() > keep) cells.resize(keep);
        std::size_t count = 0;
        const auto nextCell = [&]() -> std::string& {
            if (count == cells.size() && count < keep) cells.emplace_back();
            std::string& text = count < keep ? cells[count].text : ignored.text;
            ++count;
            text.clear();
            return text;
        };
        for (;;) {   // one field
            std::string& text = nextCell();
            if (bytes[pos] == '"') {
                for (++pos;;) {
                    const std::size_t quote = bytes.find('"', pos);
                    if (quote == std::string_view::npos) {
                        table.addFileProblem("Virgolette non chiuse: la cella che inizia alla riga " + std::to_string(line) +
                                             " prosegue fino alla fine del file.");
                        return;
                    }
                    text.append(bytes.substr(pos, quote - pos));
                    pos = quote + 1;
                    if (pos < n && bytes[pos] == '"') {
                        text += '"';
                        ++pos;
                    } else {
                        break;
                    }
                }
            }
            // An unquoted field, or what follows a closing quote, runs to the separator or the line end.
            std::size_t end = pos;
            while (end < n && bytes[end] != separator && bytes[end] != '\n' && bytes[end] != '\r') ++end;
            text.append(bytes.substr(pos, end - pos));
            pos = end;
            if (pos < n && bytes[pos] == separator) {
                ++pos;
                if (pos < n) continue;
                nextCell();   // a separator at the very end: one more empty cell
            }
            break;
        }
        if (pos < n && bytes[pos] == '\r') ++pos;
        if (pos < n && bytes[pos] == '\n') ++pos;
        if (invalid < pos) {
            table.addFileProblem("Il file non è in UTF-8 (riga " + std::to_string(line) + "): salvarlo come \"CSV UTF-8\".");
            return;
        }
        if (!table.addRow(line, cells, count)) return;
    }
}

void writeCsv(const std::filesystem::path& file, const std::vector<SheetRow>& rows) {
    standalone::FileReplacement target(file);
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(target.temp().c_str(), "wb"));
    if (!out) standalone::failToWrite(file, standalone::writeFailureReason(errno, target.folder()));
    std::string buffer(kUtf8Bom);
    const auto flush = [&] {
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out.get()) != buffer.size())
            standalone::failToWrite(file, standalone::writeFailureReason(errno, target.folder()));
        buffer.clear();
    };
    for (std::size_t c = 0; c < kFieldCount; ++c) {
        if (c > 0) buffer += ';';
        buffer += kFileColumns[c];
    }
    buffer += "\r\n";
    for (const SheetRow& r : rows) {
        for (std::size_t c = 0; c < kFieldCount; ++c) {
            if (c > 0) buffer += ';';
            appendField(buffer, r.*kSheetRowFields[c], isDescriptionField(c));
        }
        buffer += "\r\n";
        if (buffer.size() >= (1u << 20)) flush();
    }
    flush();
    if (std::fflush(out.get()) != 0 || ::fsync(::fileno(out.get())) != 0 || std::fclose(out.release()) != 0)
        standalone::failToWrite(file, standalone::writeFailureReason(errno, target.folder()));
    target.commit();
}

}  // namespace mapping::detail
