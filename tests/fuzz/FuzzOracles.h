#pragma once
// The properties each fuzzed parser must keep for any input, beyond not crashing. The libFuzzer
// harnesses (harness/FuzzEntry.cpp) call one of these per input; the suite runs every seed
// and every input that ever failed through the same functions (CorpusTest.cpp). A broken
// property throws OracleFailure; a clean refusal of bad input is no failure.

#include <stdexcept>
#include <string>
#include <string_view>

namespace fuzzoracle {

struct OracleFailure : std::logic_error {
    using std::logic_error::logic_error;
};

// T-SQL translation: the same text gives the same result twice; an error carries an offset
// inside the text; every step is one SQLite statement (no comment, no ';', every literal and
// quoted name closed), its literals and quoted names come from the text, and SQLite parses it.
void translator(std::string_view input);

// Recordset criteria: the first byte chooses the check. 0: any text parses or is refused
// with a bounded "Criterio non valido" message, the same way twice, and matching never fails.
// 1: the rest is a value; quoted as the criteria grammar defines, it comes back whole: = and
// LIKE match a row holding it, = does not match a longer one.
void criteria(std::string_view input);

// Connection strings: any text parses; the first item of a key is what get() returns; the
// ODBC text made from it parses to the same items. Values braced as ODBC defines come back
// whole, whatever ';', '=', quotes or braces they hold.
void connectionString(std::string_view input);

// The automation driver: each line is a request to a small program. Every reply is one JSON
// object with a Boolean "ok" ("error" text when false) echoing the request's "id"; one reply
// for every request line served.
void automation(std::string_view input);

}  // namespace fuzzoracle
