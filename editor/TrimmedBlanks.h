#pragma once
// Account codes read back from the database may carry blanks around them (fixed-width
// columns); compared as codes they are the same code without them.

#include <string>

namespace editor {

inline std::string trimmedBlanks(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace editor
