#pragma once
// Case folding and trimming as the whole program applies them to names, codes and keys.
//
// Case: ASCII only. Names of fields, providers, controls, keys and file extensions are ASCII;
// a byte of a UTF-8 sequence is never a letter here, so accented text is left as it is.
//
// Trims, by what they take away:
//   trimSpaces          ' '                       both ends: codes read from fixed-width char columns
//   trimBlanks          ' ', '\t'                 both ends: values typed or pasted in a cell
//   trimTrailingBlanks  ' ', '\t'                 end only: text compared the way the database
//                                                 compares it (trailing blanks do not count)
//   trimWhitespace      ' ', \t \n \v \f \r       both ends: lines of settings and option texts

#include <algorithm>
#include <string>
#include <string_view>

namespace text {

constexpr char toLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char toUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = toLowerAscii(c);
    return out;
}

inline std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = toUpperAscii(c);
    return out;
}

inline bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return toLowerAscii(x) == toLowerAscii(y); });
}

namespace detail {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isWhitespace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <class Drop>
std::string_view trimmedView(std::string_view s, Drop drop) {
    while (!s.empty() && drop(s.front())) s.remove_prefix(1);
    while (!s.empty() && drop(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace detail

inline std::string trimSpaces(std::string_view s) {
    return std::string(detail::trimmedView(s, [](char c) { return c == ' '; }));
}

inline std::string trimBlanks(std::string_view s) { return std::string(detail::trimmedView(s, detail::isBlank)); }

inline std::string trimWhitespace(std::string_view s) {
    return std::string(detail::trimmedView(s, detail::isWhitespace));
}

// A view into `s`: keep `s` alive while the result is used.
constexpr std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && detail::isBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace text
