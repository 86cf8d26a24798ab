#pragma once
// Forwarding header: the trims live in text/Text.h (editor::trimmedBlanks is text::trimSpaces).
#include "text/Text.h"
namespace editor { inline std::string trimmedBlanks(std::string_view s) { return text::trimSpaces(s); } }
