#pragma once
// Every keyboard shortcut of the desktop program in one table: the commands take their key
// sequences from here and the "Tasti" page lists the table, so the two never disagree.

#include <span>
#include <string>

namespace gui::shortcuts {

// Key sequences in QKeySequence's portable text form.
inline constexpr const char* kExport = "Ctrl+E";
inline constexpr const char* kFind = "Ctrl+F";
inline constexpr const char* kFindNext = "F3";
inline constexpr const char* kNextUnmapped = "F8";
inline constexpr const char* kPreviousUnmapped = "Shift+F8";
inline constexpr const char* kUnmappedOnly = "Ctrl+F8";
inline constexpr const char* kKeysPage = "F1";
inline constexpr const char* kDeleteCorrelation = "Del";
inline constexpr const char* kRestoreAccount = "Esc";
inline constexpr const char* kUndoTyping = "Ctrl+Z";
inline constexpr const char* kUndoChange = kUndoTyping;   // outside the account box
inline constexpr const char* kRedoChange = "Ctrl+Y";
inline constexpr const char* kButtonLetter = "Alt+lettera sottolineata";
inline constexpr const char* kCheckCorrelations = "Ctrl+Shift+V";
inline constexpr const char* kExportCorrelations = "Ctrl+Shift+E";
inline constexpr const char* kImportCorrelations = "Ctrl+Shift+I";
inline constexpr const char* kAssignAccount = "Ctrl+Shift+A";
inline constexpr const char* kStatementPreview = "Ctrl+Shift+B";
inline constexpr const char* kSelectRows = "Maiusc+clic / Ctrl+clic / Maiusc+Giù";

struct Entry {
    const char* keys;   // a portable key sequence ("Ctrl+F", "Del") or a text ("Tab / Maiusc+Tab")
    const char* what;   // what it does, in Italian
};

// The shortcuts of a correlation editor, in the order the "Tasti" page lists them.
std::span<const Entry> editorShortcuts();

// `keys` with Italian key names, as the "Tasti" page and the tooltips show them
// ("Del" -> "Canc", "Shift+F8" -> "Maiusc+F8").
std::string shownKeys(const char* keys);

}  // namespace gui::shortcuts
