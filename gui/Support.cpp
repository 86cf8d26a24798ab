#include "gui/Support.h"

#include <QHeaderView>
#include <QTableView>

#include <QKeyEvent>

#include "kit/Control.h"

namespace gui {

int twipsToPixels(int twips) {
    // Round half away from zero so that 7 twips still give a visible pixel.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

namespace {

int shiftState(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= kit::keys::ShiftMask;
    if (m & Qt::ControlModifier) s |= kit::keys::CtrlMask;
    if (m & Qt::AltModifier) s |= kit::keys::AltMask;
    return s;
}

}  // namespace

std::optional<KitKey> formKey(const QKeyEvent& e) {
    int shift = shiftState(e.modifiers());
    switch (e.key()) {
    case Qt::Key_Tab: return KitKey{kit::keys::Tab, shift};
    case Qt::Key_Backtab: return KitKey{kit::keys::Tab, shift | kit::keys::ShiftMask};
    case Qt::Key_Return:
    case Qt::Key_Enter: return KitKey{kit::keys::Enter, shift};
    case Qt::Key_Up: return KitKey{kit::keys::Up, shift};
    case Qt::Key_Down: return KitKey{kit::keys::Down, shift};
    case Qt::Key_PageUp: return KitKey{kit::keys::PageUp, shift};
    case Qt::Key_PageDown: return KitKey{kit::keys::PageDown, shift};
    case Qt::Key_F3: return KitKey{kit::keys::F3, shift};
    case Qt::Key_F4: return KitKey{kit::keys::F4, shift};
    case Qt::Key_F9: return KitKey{kit::keys::F9, shift};
    case Qt::Key_Escape: return KitKey{kit::keys::Escape, shift};
    default: return std::nullopt;
    }
}

std::optional<KitKey> gridKey(const QKeyEvent& e) {
    if (e.key() == Qt::Key_Home) return KitKey{kit::keys::Home, shiftState(e.modifiers())};
    if (e.key() == Qt::Key_End) return KitKey{kit::keys::End, shiftState(e.modifiers())};
    return formKey(e);
}

void setUpRowTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
}

}  // namespace gui
