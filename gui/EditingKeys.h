#pragma once
// Two keys the desktop program adds to the record frame's controls, on top of what the form
// itself handles: Canc in the grid removes the current row's correlation through the frame's
// delete (after the user confirmed it), and Esc in an account box puts back the account the
// row has stored, dropping what was typed or proposed. Neither writes anything else.

#include <QString>
#include <functional>

namespace kit {
class CoinAccountBox;
class Control;
class Form;
class QueryGrid;
class RecordFrame;
}  // namespace kit

namespace gui {

inline constexpr const char* kDeleteQuestion = "Eliminare la correlazione?";

// The record frame that binds `control`, found through the grid it drives; nullptr when none.
kit::RecordFrame* frameBinding(const kit::Form& form, const kit::Control& control);

// Whether the box shows an account the row has not stored: text typed and not confirmed,
// an account changed and not saved, or a proposal.
bool holdsUnstoredAccount(const kit::Form& form, const kit::CoinAccountBox& box);
// Puts the stored account back into the box and its row; nothing is written. False when
// there was nothing to put back.
bool restoreStoredAccount(const kit::Form& form, kit::CoinAccountBox& box);

// Removes the correlation of the grid's current row through its frame's Delete, once
// `confirm(kDeleteQuestion)` said yes; whatever the row held unsaved is dropped first. Does
// nothing (and asks nothing) without a shown row or when the row has no stored correlation.
// True when the frame's delete ran.
bool deleteCurrentCorrelation(kit::QueryGrid& grid, const std::function<bool(const QString&)>& confirm);

}  // namespace gui
