#pragma once
// The correlation kinds by name, as the history, the correlation files, the command line and
// the entry classes (Brevanto.CLSCG_CORRRICL<name>) write them.

#include <optional>
#include <string_view>

#include "editor/CorrelationKind.h"
#include "text/Text.h"

namespace editor {

inline constexpr const char* kCorrelationKindNames[] = {"COGE", "COIN", "HYPE", "CONS"};

// The four names as a help text or a message lists them.
inline constexpr const char* kCorrelationKindChoices = "COGE, COIN, HYPE o CONS";

// "COGE", "COIN", "HYPE", "CONS"; "" for a number that is no kind (a history row of another version).
constexpr const char* kindName(int kind) { return kind >= 0 && kind < 4 ? kCorrelationKindNames[kind] : ""; }
constexpr const char* kindName(CorrelationKind kind) { return kindName(static_cast<int>(kind)); }

// A kind's name in any case, blanks around ignored; nothing for another word.
inline std::optional<CorrelationKind> kindFromName(std::string_view name) {
    const std::string word = text::trimWhitespace(name);
    for (int k = 0; k < 4; ++k)
        if (text::equalsIgnoreCaseAscii(word, kCorrelationKindNames[k])) return static_cast<CorrelationKind>(k);
    return std::nullopt;
}

}  // namespace editor
