#include "db/sqlite/SqliteRuntime.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

namespace db::sqlite {

namespace {

// ---- UTF-8 ------------------------------------------------------------------------------

// Decodes one code point at s[i] and advances i; a malformed byte counts as one character.
char32_t decode(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return c;
    }
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += len;
    return cp;
}

void encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Byte offset of the character number `chars` (0-based), or the size when the text is shorter.
std::size_t byteOffsetOfChar(std::string_view s, std::int64_t chars) {
    std::size_t i = 0;
    while (chars > 0 && i < s.size()) {
        decode(s, i);
        --chars;
    }
    return i;
}

std::int64_t charCount(std::string_view s) {
    std::int64_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++n) decode(s, i);
    return n;
}

char32_t toUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0xFF) return 0x178;
    return c;
}
char32_t toLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    return c;
}

// The letter without its accent, upper case: the first level of the collation's order.
char32_t baseLetter(char32_t c) {
    c = toUpper(c);
    if (c < 0xC0) return c;
    if (c <= 0xC5) return 'A';
    if (c == 0xC7) return 'C';
    if (c >= 0xC8 && c <= 0xCB) return 'E';
    if (c >= 0xCC && c <= 0xCF) return 'I';
    if (c == 0xD0) return 'D';
    if (c == 0xD1) return 'N';
    if ((c >= 0xD2 && c <= 0xD6) || c == 0xD8) return 'O';
    if (c >= 0xD9 && c <= 0xDC) return 'U';
    if (c == 0xDD || c == 0x178) return 'Y';
    return c;
}

std::string_view trimTrailingBlanks(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

// ---- values -----------------------------------------------------------------------------

std::string_view textArg(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

// A real number as T-SQL writes a decimal: integral values without a fraction.
std::string realText(double d) {
    char buf[64];
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e18)
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(d));
    else
        std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

// The value as T-SQL converts it to text.
std::string valueText(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return realText(sqlite3_value_double(v));
    default: return std::string(textArg(v));
    }
}

bool isNumber(sqlite3_value* v) {
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool parseInteger(std::string_view text, std::int64_t& out) {
    std::string s(trimBlanks(text));
    if (s.empty()) {   // T-SQL converts '' to 0
        out = 0;
        return true;
    }
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (i == s.size()) return false;
    for (std::size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    errno = 0;
    out = std::strtoll(s.c_str(), nullptr, 10);
    return errno == 0;
}

bool parseDecimal(std::string_view text, long double& out) {
    std::string s(trimBlanks(text));
    if (s.empty()) return false;
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    bool digits = false, dot = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') digits = true;
        else if (s[i] == '.' && !dot) dot = true;
        else return false;
    }
    if (!digits) return false;
    out = std::strtold(s.c_str(), nullptr);
    return true;
}

void resultText(sqlite3_context* ctx, const std::string& s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}
void resultText(sqlite3_context* ctx, std::string_view s) {
    // A null pointer would make the result NULL: an empty text is still a text.
    sqlite3_result_text(ctx, s.empty() ? "" : s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// ---- string functions --------------------------------------------------------------------

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_error(ctx, "Invalid length parameter passed to the left function.", -1);
    const std::string s = valueText(argv[0]);
    resultText(ctx, std::string_view(s).substr(0, byteOffsetOfChar(s, n)));
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_error(ctx, "Invalid length parameter passed to the right function.", -1);
    const std::string s = valueText(argv[0]);
    const std::int64_t total = charCount(s);
    const std::int64_t skip = total > n ? total - n : 0;
    resultText(ctx, std::string_view(s).substr(byteOffsetOfChar(s, skip)));
}

// SUBSTRING(x, start, length): characters from position start (1-based) to start+length-1;
// positions before 1 take up part of the length, as in T-SQL.
void fnSubstring(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const std::int64_t start = sqlite3_value_int64(argv[1]);
    const std::int64_t length = sqlite3_value_int64(argv[2]);
    if (length < 0)
        return sqlite3_result_error(ctx, "Invalid length parameter passed to the substring function.", -1);
    const std::string s = valueText(argv[0]);
    const std::int64_t first = start < 1 ? 1 : start;
    const std::int64_t end = start + length;   // one past the last position
    if (end <= first) return resultText(ctx, std::string_view());
    const std::size_t from = byteOffsetOfChar(s, first - 1);
    const std::size_t to = from + byteOffsetOfChar(std::string_view(s).substr(from), end - first);
    resultText(ctx, std::string_view(s).substr(from, to - from));
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::string s = valueText(argv[0]);
    sqlite3_result_int64(ctx, charCount(trimTrailingBlanks(s)));
}

template <char32_t (*Map)(char32_t)>
void fnCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::string s = valueText(argv[0]);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) encode(Map(decode(s, i)), out);
    resultText(ctx, out);
}

// tsql_key(x): for a text, a text that two texts share exactly when the TSQL collation finds
// them equal (trailing blanks dropped, every character upper-cased), so that grouping on it
// compares bytes instead of calling the collation; any other value is returned as it is.
void fnKey(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
    resultText(ctx, equalityKeyTsql(textArg(argv[0])));
}

// CAST(x AS [N]VARCHAR(n)): text cut to n characters; a number that does not fit raises an
// error for NVARCHAR and gives "*" for VARCHAR, as SQL Server does. n = -1 is MAX.
template <bool National>
void fnVarchar(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    const std::string s = valueText(argv[0]);
    if (n < 0) return resultText(ctx, s);
    const std::size_t cut = byteOffsetOfChar(s, n);
    if (cut < s.size() && isNumber(argv[0])) {
        if (National)
            return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type nvarchar.", -1);
        return resultText(ctx, std::string_view("*"));
    }
    resultText(ctx, std::string_view(s).substr(0, cut));
}

// ---- numeric functions -------------------------------------------------------------------

// 10^n for a DECIMAL's precision or scale: exact up to 10^27, correctly rounded above.
long double powerOfTen(int n) {
    static constexpr long double kPowers[] = {
        1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L,
        1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L,
        1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L, 1e32L, 1e33L, 1e34L, 1e35L, 1e36L, 1e37L, 1e38L,
    };
    constexpr int kLast = static_cast<int>(std::size(kPowers)) - 1;
    if (n >= 0 && n <= kLast) return kPowers[n];
    // Outside DECIMAL's range (the translator writes only 0..38).
    if (n < 0) return 1.0L / powerOfTen(-n);
    long double p = kPowers[kLast];
    for (int k = kLast; k < n; ++k) p *= 10.0L;
    return p;
}

// CAST(x AS DECIMAL(p, s)): rounded half away from zero to s places; an integer when s = 0.
void fnDecimal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const int precision = sqlite3_value_int(argv[1]);
    const int scale = sqlite3_value_int(argv[2]);
    long double value = 0;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER: value = static_cast<long double>(sqlite3_value_int64(argv[0])); break;
    case SQLITE_FLOAT: value = sqlite3_value_double(argv[0]); break;
    default:
        if (!parseDecimal(textArg(argv[0]), value))
            return sqlite3_result_error(ctx, "Error converting data type nvarchar to numeric.", -1);
    }
    const long double factor = powerOfTen(scale);
    const long double rounded = std::round(value * factor);
    if (std::fabs(rounded) >= powerOfTen(precision))
        return sqlite3_result_error(ctx, "Arithmetic overflow error converting numeric to data type numeric.", -1);
    if (scale == 0) return sqlite3_result_int64(ctx, static_cast<std::int64_t>(rounded));
    sqlite3_result_double(ctx, static_cast<double>(rounded / factor));
}

// CAST(x AS TINYINT/SMALLINT/INT/BIGINT), the size in bytes as second argument: decimals are
// truncated toward zero; text must hold an integer.
void fnInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const int bytes = sqlite3_value_int(argv[1]);
    const char* typeName = bytes == 1 ? "tinyint" : bytes == 2 ? "smallint" : bytes == 8 ? "bigint" : "int";
    const std::int64_t lo = bytes == 1 ? 0 : bytes == 2 ? -32768 : bytes == 8 ? std::numeric_limits<std::int64_t>::min()
                                                                              : -2147483648LL;
    const std::int64_t hi = bytes == 1 ? 255 : bytes == 2 ? 32767 : bytes == 8 ? std::numeric_limits<std::int64_t>::max()
                                                                               : 2147483647LL;
    std::int64_t value = 0;
    bool overflow = false;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER: value = sqlite3_value_int64(argv[0]); break;
    case SQLITE_FLOAT: {
        const double d = std::trunc(sqlite3_value_double(argv[0]));
        if (!(d >= -9.2e18 && d <= 9.2e18)) overflow = true;
        else value = static_cast<std::int64_t>(d);
        break;
    }
    default: {
        const std::string_view text = textArg(argv[0]);
        if (!parseInteger(text, value)) {
            const std::string msg = "Conversion failed when converting the nvarchar value '" + std::string(text) +
                                    "' to data type " + typeName + ".";
            return sqlite3_result_error(ctx, msg.c_str(), -1);
        }
    }
    }
    if (overflow || value < lo || value > hi) {
        const std::string msg = std::string("Arithmetic overflow error converting expression to data type ") + typeName + ".";
        return sqlite3_result_error(ctx, msg.c_str(), -1);
    }
    sqlite3_result_int64(ctx, value);
}

// a + b decided at run time: text + text concatenates; with a number involved the text side
// is converted to a number (T-SQL's type precedence) and the two are added.
void fnPlus(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const bool na = isNumber(argv[0]), nb = isNumber(argv[1]);
    if (!na && !nb) {
        std::string s(textArg(argv[0]));
        s += textArg(argv[1]);
        return resultText(ctx, s);
    }
    const bool anyReal = sqlite3_value_type(argv[0]) == SQLITE_FLOAT || sqlite3_value_type(argv[1]) == SQLITE_FLOAT;
    long double x[2];
    bool allInt = true;
    std::int64_t ix[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        sqlite3_value* v = argv[k];
        if (sqlite3_value_type(v) == SQLITE_INTEGER) {
            ix[k] = sqlite3_value_int64(v);
            x[k] = static_cast<long double>(ix[k]);
        } else if (sqlite3_value_type(v) == SQLITE_FLOAT) {
            allInt = false;
            x[k] = sqlite3_value_double(v);
        } else {
            const std::string_view text = textArg(v);
            if (parseInteger(text, ix[k])) {
                x[k] = static_cast<long double>(ix[k]);
            } else if (anyReal && parseDecimal(text, x[k])) {
                allInt = false;
            } else {
                const std::string msg = "Conversion failed when converting the nvarchar value '" + std::string(text) +
                                        "' to data type " + (anyReal ? "numeric" : "int") + ".";
                return sqlite3_result_error(ctx, msg.c_str(), -1);
            }
        }
    }
    if (allInt) {
        std::int64_t r;
        if (!__builtin_add_overflow(ix[0], ix[1], &r)) return sqlite3_result_int64(ctx, r);
        return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type int.", -1);
    }
    sqlite3_result_double(ctx, static_cast<double>(x[0] + x[1]));
}

int collateTsql(void*, int na, const void* a, int nb, const void* b) {
    return compareTsql(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
                       std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
}

struct FunctionDef {
    const char* name;
    int args;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

constexpr FunctionDef kFunctions[] = {
    {"tsql_left", 2, fnLeft},
    {"tsql_right", 2, fnRight},
    {"tsql_substring", 3, fnSubstring},
    {"tsql_len", 1, fnLen},
    {"tsql_upper", 1, fnCase<toUpper>},
    {"tsql_lower", 1, fnCase<toLower>},
    {"tsql_nvarchar", 2, fnVarchar<true>},
    {"tsql_varchar", 2, fnVarchar<false>},
    {"tsql_decimal", 3, fnDecimal},
    {"tsql_int", 2, fnInt},
    {"tsql_plus", 2, fnPlus},
    {"tsql_key", 1, fnKey},
};

}  // namespace

namespace {

// Compares a and b from byte offsets i and j on, character by character.
int compareFrom(std::string_view a, std::string_view b, std::size_t i, std::size_t j) {
    // First level: letters without case or accent; second level: the accent (case still
    // ignored), so that "è" and "e" differ but sort next to each other.
    int second = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = decode(a, i), cb = decode(b, j);
        if (ca == cb) continue;
        const char32_t pa = baseLetter(ca), pb = baseLetter(cb);
        if (pa != pb) return pa < pb ? -1 : 1;
        if (second == 0) {
            const char32_t sa = toUpper(ca), sb = toUpper(cb);
            if (sa != sb) second = sa < sb ? -1 : 1;
        }
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return second;
}

}  // namespace

int compareTsql(std::string_view a, std::string_view b) {
    a = trimTrailingBlanks(a);
    b = trimTrailingBlanks(b);
    // ASCII prefix: one byte is one character, and two ASCII characters differ only in their
    // first level (no accents), so upper-casing both is the whole comparison. The first byte
    // outside ASCII hands over to the full comparison at the same offset.
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) return compareFrom(a, b, i, i);
        if (x == y) continue;
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (i < b.size()) return -1;
    return 0;
}

std::string equalityKeyTsql(std::string_view text) {
    text = trimTrailingBlanks(text);
    std::string key;
    key.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) encode(toUpper(decode(text, i)), key);
    return key;
}

int compareTsqlByCharacter(std::string_view a, std::string_view b) {
    return compareFrom(trimTrailingBlanks(a), trimTrailingBlanks(b), 0, 0);
}

void registerSqliteRuntime(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const FunctionDef& f : kFunctions) {
        if (sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot register SQLite function ") + f.name + ": " + sqlite3_errmsg(db));
    }
    if (sqlite3_create_collation_v2(db, "TSQL", SQLITE_UTF8, nullptr, collateTsql, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("cannot register the TSQL collation: ") + sqlite3_errmsg(db));
}

}  // namespace db::sqlite
