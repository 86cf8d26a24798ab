#pragma once
// Account codes shown through an edit mask ("@@/@@/@@/@@@@"): 'x', '0' and '@' are code
// positions, any other character ('/', '-', '.') a separator shown between them. Blanks
// around a mask (a char column pads it) do not count.
//
// Two ways of filling, and the places that use them:
//   FromLeft   the account boxes and the command line's lists: the code's first character
//              takes the first position; separators are written only while code characters
//              remain ("@@/@@", "012" -> "01/2"); characters beyond the mask are appended.
//   FromRight  the editor's grid column: the code's last character takes the last position;
//              positions left over show a space ("@@/@@", "123" -> " 1/23"); characters
//              beyond the mask stay in front.
// An empty mask, or an empty code, gives the code as it is.

#include <string>
#include <string_view>

#include "text/Text.h"

namespace text {

enum class MaskFill { FromLeft, FromRight };

constexpr bool isMaskPosition(char c) { return c == 'x' || c == '0' || c == '@'; }

inline std::string applyMask(std::string_view mask, std::string_view code, MaskFill fill) {
    const std::string m = trimBlanks(mask);
    if (m.empty() || code.empty()) return std::string(code);
    std::string out;
    if (fill == MaskFill::FromLeft) {
        std::size_t next = 0;
        for (char c : m) {
            if (next == code.size()) break;
            out += isMaskPosition(c) ? code[next++] : c;
        }
        out += code.substr(next);
        return out;
    }
    out.assign(m.size(), ' ');
    std::size_t left = code.size();
    for (std::size_t i = m.size(); i-- > 0;) out[i] = isMaskPosition(m[i]) ? (left > 0 ? code[--left] : ' ') : m[i];
    return std::string(code.substr(0, left)) + out;
}

// What the user typed, masked or plain, as the plain code: the mask's separators are taken
// out, anything else (a blank, a stray character for the decode to refuse) stays.
inline std::string stripMask(std::string_view mask, std::string_view typed) {
    std::string separators;
    for (char c : mask)
        if (!isMaskPosition(c) && c != ' ' && c != '\t' && separators.find(c) == std::string::npos) separators += c;
    std::string out;
    out.reserve(typed.size());
    for (char c : typed)
        if (separators.find(c) == std::string::npos) out += c;
    return out;
}

}  // namespace text
