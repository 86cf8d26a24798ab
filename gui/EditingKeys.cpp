#include "gui/EditingKeys.h"

#include "kit/AccountBoxes.h"
#include "kit/Form.h"
#include "kit/QueryGrid.h"
#include "kit/RecordFrame.h"

namespace gui {

namespace {

bool showsRow(kit::RecordFrame& frame) {
    if (frame.Status() != kit::StatusShowing) return false;
    auto rs = frame.recordset();
    return rs && rs->State() == db::ado::adStateOpen && !rs->Bof() && !rs->Eof();
}

kit::CoinAccountBox* accountBoxOf(const kit::RecordFrame& frame) {
    for (const auto& weak : frame.boundControls())
        if (auto* box = dynamic_cast<kit::CoinAccountBox*>(weak.lock().get())) return box;
    return nullptr;
}

}  // namespace

kit::RecordFrame* frameBinding(const kit::Form& form, const kit::Control& control) {
    for (const auto& c : form.controls()) {
        auto* grid = dynamic_cast<kit::QueryGrid*>(c.get());
        kit::RecordFrame* frame = grid ? grid->attachedFrame() : nullptr;
        if (!frame) continue;
        for (const auto& weak : frame->boundControls())
            if (weak.lock().get() == &control) return frame;
    }
    return nullptr;
}

bool holdsUnstoredAccount(const kit::Form& form, const kit::CoinAccountBox& box) {
    if (box.Text() != box.Value()) return true;   // typed and not confirmed yet
    kit::RecordFrame* frame = frameBinding(form, box);
    if (!frame || !showsRow(*frame)) return false;
    if (frame->isProposal()) return true;
    const db::Variant stored = frame->shownValue(box.dbfield());
    return !stored.isEmpty() && (stored.isBlank() ? std::string() : stored.toText()) != box.Value();
}

bool restoreStoredAccount(const kit::Form& form, kit::CoinAccountBox& box) {
    if (!holdsUnstoredAccount(form, box)) return false;
    if (kit::RecordFrame* frame = frameBinding(form, box); frame && showsRow(*frame)) frame->Discard();
    if (box.Text() != box.Value()) box.setValue(box.Value());
    return true;
}

bool deleteCurrentCorrelation(kit::QueryGrid& grid, const std::function<bool(const QString&)>& confirm) {
    kit::RecordFrame* frame = grid.attachedFrame();
    if (!frame || !grid.effectivelyEnabled() || !showsRow(*frame)) return false;
    kit::CoinAccountBox* box = accountBoxOf(*frame);
    if (box && frame->shownValue(box->dbfield()).isBlank()) return false;   // nothing stored to remove
    if (!confirm(QString::fromUtf8(kDeleteQuestion))) return false;
    // The delete removes what the row has stored, never an account typed or proposed meanwhile.
    if (frame->isChanged() || frame->isProposal() || (box && box->Text() != box->Value())) frame->Discard();
    frame->Delete();
    return true;
}

}  // namespace gui
