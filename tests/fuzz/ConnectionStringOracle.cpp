#include "FuzzOracles.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "db/ConnectionString.h"
#include "db/odbc/Odbc.h"

namespace fuzzoracle {

namespace {

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The value ODBC means by a braced text: without the braces, "}}" read as "}".
std::string unbraced(const std::string& v) {
    if (v.size() < 2 || v.front() != '{' || v.back() != '}') return v;
    std::string out;
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        out += v[i];
        if (v[i] == '}') ++i;
    }
    return out;
}

void parsesConsistently(const std::string& text) {
    const db::ConnectionString cs(text);
    for (const auto& item : cs.items()) {
        const std::string& key = item.first;
        if (key.empty()) throw OracleFailure("an item without a key in: " + text);
        const auto got = cs.get(key);
        const auto first = std::find_if(cs.items().begin(), cs.items().end(),
                                        [&](const auto& item) { return iequals(item.first, key); });
        if (!got || *got != first->second) throw OracleFailure("get(" + key + ") is not its first item in: " + text);
    }
    // What the ODBC driver receives reads back as the same items.
    // What the ODBC driver receives reads back as the same items (ADO's credential keys in
    // ODBC's spelling, FreeTDS's character set added at the end).
    const std::string odbc = db::odbc::driverConnectionString(cs, "", "");
    std::vector<std::pair<std::string, std::string>> expected;
    for (auto [key, value] : cs.items()) {
        if (iequals(key, "Provider")) continue;
        if (iequals(key, "User ID")) key = "UID";
        if (iequals(key, "Password")) key = "PWD";
        expected.emplace_back(key, value);
    }
    auto again = db::ConnectionString(odbc).items();
    if (again.size() == expected.size() + 1 && again.back() == std::pair<std::string, std::string>("ClientCharset", "UTF-8"))
        again.pop_back();
    if (again != expected) throw OracleFailure("the ODBC text of \"" + text + "\" reads back otherwise: " + odbc);
}

}  // namespace

void connectionString(std::string_view input) {
    parsesConsistently(std::string(input));

    // Values braced as ODBC defines come back whole in a string of three items.
    const std::size_t cut = input.find('\x01');
    const std::string password(input.substr(0, cut));
    const std::string database(cut == std::string_view::npos ? "" : input.substr(cut + 1));
    const std::string text = "Provider=ODBC;PWD=" + db::odbc::connectionValue(password) +
                             ";Database=" + db::odbc::connectionValue(database) + ";DSN=d";
    const db::ConnectionString cs(text);
    const auto pwd = cs.get("PWD"), db = cs.get("Database"), dsn = cs.get("DSN");
    if (!pwd || unbraced(*pwd) != password) throw OracleFailure("the password did not come back whole from: " + text);
    if (!db || unbraced(*db) != database) throw OracleFailure("the database did not come back whole from: " + text);
    if (!dsn || *dsn != "d") throw OracleFailure("an item after braced values was lost in: " + text);
    parsesConsistently(text);
}

}  // namespace fuzzoracle
