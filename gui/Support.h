#pragma once
// Small conversions shared by the views: UTF-8 texts, twips to pixels and Qt keys to the
// control kit's key codes.

#include <QString>
#include <optional>
#include <string>

class QKeyEvent;
class QTableView;

namespace gui {

// Control placements are in twips; at 96 dpi one pixel is 15 twips.
inline constexpr int kTwipsPerPixel = 15;
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

struct KitKey {
    int key = 0;
    int shift = 0;
};

// The kit key of a key the form handles itself (Tab, Shift+Tab, Enter, Up, Down, PageUp,
// PageDown, F3, F4, F9, Escape); nothing for keys that edit the text.
std::optional<KitKey> formKey(const QKeyEvent& event);
// The same plus Home and End, for the grid (which has no text cursor).
std::optional<KitKey> gridKey(const QKeyEvent& event);

// A read-only table of rows: whole rows selected, one fixed text line a row (so that hundreds
// of thousands of rows are placed without measuring any), no row numbers, the last column
// taking the free width.
void setUpRowTable(QTableView* table);

}  // namespace gui
