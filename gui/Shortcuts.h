#pragma once
// Every keyboard shortcut of the desktop program in one table: the commands take their key
// sequences from here and the "Tasti" page lists the table, so the two never disagree.

#include <span>

namespace gui::shortcuts {

// Key sequences in QKeySequence's portable text form.
inline constexpr const char* kExport = "Ctrl+E";
inline constexpr const char* kFind = "Ctrl+F";
inline constexpr const char* kFindNext = "F3";
inline constexpr const char* kNextUnmapped = "F8";
inline constexpr const char* kPreviousUnmapped = "Shift+F8";
inline constexpr const char* kUnmappedOnly = "Ctrl+F8";
inline constexpr const char* kKeysPage = "F1";

struct Entry {
    const char* keys;   // as shown to the user ("Ctrl+F", "Alt+lettera sottolineata")
    const char* what;   // what it does, in Italian
};

// The shortcuts of a correlation editor, in the order the "Tasti" page lists them.
std::span<const Entry> editorShortcuts();

}  // namespace gui::shortcuts
