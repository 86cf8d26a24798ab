#include "kit/RecordFrame.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "db/Error.h"
#include "kit/QueryGrid.h"
#include "text/Text.h"

namespace kit {

namespace {

// Values a control and a field hold count as the same when they read the same: a text box
// shows 12 as "12", and an empty box shows a Null field.
bool sameValue(const db::Variant& a, const db::Variant& b) {
    if (a == b) return true;
    if (a.isBlank() && b.isBlank()) return true;
    if (a.isObject() || b.isObject()) return false;
    return a.toText() == b.toText();
}

// The control's value in the kind of value the field holds now.
db::Variant coerceLike(const db::Variant& current, const db::Variant& v) {
    if (v.isText() && v.toText().empty() && current.isNull()) return db::Variant::null();
    if (current.isNumeric() && v.isText()) {
        try {
            double d = v.toDouble();
            switch (current.type()) {
                case db::Variant::Type::Integer:
                    if (d == std::trunc(d)) return db::Variant(static_cast<long long>(d));
                    return db::Variant(d);
                case db::Variant::Type::Decimal: return db::Variant::decimal(d);
                case db::Variant::Type::Double: return db::Variant(d);
                default: return v;
            }
        } catch (const db::Exception&) {
            return v;
        }
    }
    return v;
}

struct Counter {
    int& n;
    explicit Counter(int& c) : n(c) { ++n; }
    ~Counter() { --n; }
};

struct Flag {
    bool& f;
    explicit Flag(bool& b) : f(b) { f = true; }
    ~Flag() { f = false; }
};

}  // namespace

RecordFrame::RecordFrame(std::string name) : name_(std::move(name)) {}

RecordFrame::~RecordFrame() { Terminate(); }

void RecordFrame::Init(std::shared_ptr<db::Object>& hostInterface, std::shared_ptr<db::Connection>& connection,
                       std::shared_ptr<db::Recordset>& recordset, const std::string& query,
                       const std::string& text, GridNavigator* navigator, QueryGrid* grid) {
    hostInterface_ = hostInterface;
    connection_ = connection;
    recordsetRef_ = &recordset;
    query_ = query;
    text_ = text;
    navigator_ = navigator;
    if (gridRaw_ && gridRaw_ != grid && !grid_.expired() && gridRaw_->attachedFrame() == this)
        gridRaw_->attachFrame(nullptr);
    gridRaw_ = grid;
    grid_.reset();
    if (grid) {
        grid_ = grid->shared_from_this();
        grid->attachFrame(this);
    }
    attach(recordset);
}

void RecordFrame::attach(std::shared_ptr<db::Recordset> rs) {
    if (attached_ == rs) return;
    if (attached_) attached_->removeListener(this);
    attached_ = std::move(rs);
    if (attached_) attached_->addListener(this);
    shown_ = false;
    changed_ = false;
    originalKey_ = db::Variant();
    originalKeyBookmark_ = db::Variant();
    rememberOriginalKey();
}

void RecordFrame::sync() {
    if (recordsetRef_ && *recordsetRef_ != attached_) attach(*recordsetRef_);
}

std::shared_ptr<db::Recordset> RecordFrame::recordset() {
    sync();
    return attached_;
}

bool RecordFrame::onRow() const {
    if (!attached_ || attached_->State() != db::ado::adStateOpen) return false;
    return !attached_->Bof() && !attached_->Eof();
}

db::Variant RecordFrame::currentBookmark() const {
    if (!onRow()) return db::Variant();
    try {
        return attached_->Bookmark();
    } catch (const db::Exception&) {
        return db::Variant();
    }
}

bool RecordFrame::gridForwards() const {
    if (!gridRaw_ || grid_.expired()) return false;
    return gridRaw_->attachedFrame() == this && attached_ && gridRaw_->Recordset() == attached_;
}

void RecordFrame::BindControl(Control& control) {
    if (control.dbfield().empty())
        throw KitError("control " + control.name() + " has no dbfield to bind to frame " + name_);
    for (auto& b : bindings_)
        if (b.control.lock().get() == &control) return;
    Binding b;
    b.control = control.shared_from_this();
    b.field = control.dbfield();
    Control* raw = &control;
    b.subscription = control.propertyChanged.connect([this, raw](const std::string& p) { controlChanged(p, raw); });
    // The user editing a bound control makes the row's changes the user's own.
    b.editSubscription = control.Edited.connect([this] { endProposal(); });
    bindings_.push_back(b);
    shownValues_.clear();
    boundControlsView_.push_back(b.control);
}

void RecordFrame::KeyControl(Control& control) {
    if (control.dbfield().empty())
        throw KitError("control " + control.name() + " has no dbfield to be the key of frame " + name_);
    keyField_ = control.dbfield();
    sync();
    rememberOriginalKey();
}

void RecordFrame::controlChanged(const std::string& property, Control* c) {
    if (quiet_ > 0 || status_ != StatusShowing || !shown_) return;
    if (property != c->boundProperty()) return;
    changed_ = true;
}

void RecordFrame::rememberOriginalKey() {
    if (keyField_.empty() || !onRow()) return;
    try {
        originalKey_ = attached_->value(keyField_);
        originalKeyBookmark_ = currentBookmark();
    } catch (const db::Exception& e) {
        lastError_ = e.what();
    }
}

void RecordFrame::showRow() {
    endProposal();
    {
        Counter quiet(quiet_);
        for (auto& b : bindings_) {
            auto c = b.control.lock();
            if (!c) continue;
            db::Variant v;
            try {
                v = attached_->value(b.field);
            } catch (const db::Exception& e) {
                lastError_ = e.what();
            }
            c->setBoundValue(v);
        }
    }
    shown_ = true;
    shownBookmark_ = currentBookmark();
    changed_ = false;
    snapshotRow();
    rememberOriginalKey();
}

void RecordFrame::snapshotRow() {
    shownValues_.clear();
    if (!onRow()) return;
    for (auto& b : bindings_) {
        db::Variant v;
        try {
            v = attached_->value(b.field);
        } catch (const db::Exception& e) {
            lastError_ = e.what();
        }
        shownValues_.push_back(v);
    }
}

void RecordFrame::clearControls() {
    endProposal();
    shownValues_.clear();
    {
        Counter quiet(quiet_);
        for (auto& b : bindings_)
            if (auto c = b.control.lock()) c->setBoundValue(db::Variant());
    }
    shown_ = false;
    changed_ = false;
}

void RecordFrame::arrive(int reason, bool force) {
    if (!attached_) return;
    if (status_ != StatusShowing) {
        rememberOriginalKey();
        return;
    }
    if (!onRow()) {
        if (shown_ || force) clearControls();
        return;
    }
    if (!force && shown_ && currentBookmark() == shownBookmark_) return;
    showRow();
    ChangeStatus.raise(StatusShowing, reason);
}

bool RecordFrame::setStatus(int status) {
    sync();
    if (status == status_) return true;
    commitControls();
    if (status_ == StatusShowing && changed_ && !saveRow(UpdateOnLeave)) return false;
    status_ = status;
    if (status == StatusShowing) {
        if (onRow())
            showRow();
        else
            clearControls();
    } else if (status == StatusNew) {
        clearControls();
        rememberOriginalKey();
    }
    ChangeStatus.raise(status, ReasonProgram);
    return true;
}

void RecordFrame::SetQuery(const std::string& query) {
    sync();
    query_ = query;
    arrive(ReasonRequery, true);
}

void RecordFrame::Clear() {
    sync();
    clearControls();
}

bool RecordFrame::Search(bool, bool) {
    sync();
    if (!onRow() || keyField_.empty()) return false;
    auto keyIndex = attached_->fields().indexOf(keyField_);
    if (!keyIndex) return false;
    db::Variant wanted = attached_->value(keyField_);
    if (!originalKeyBookmark_.isEmpty() && originalKeyBookmark_ == currentBookmark() &&
        !sameValue(originalKey_, wanted)) {
        Counter quiet(quiet_);
        attached_->setValue(keyField_, originalKey_);
    }
    long found = -1;
    long n = attached_->viewSize();
    for (long i = 0; i < n && found < 0; ++i) {
        const db::Variant& k = attached_->viewRow(i)[*keyIndex];
        if (!wanted.isBlank() && sameValue(k, wanted)) found = i;
    }
    if (found < 0) return false;
    if (attached_->currentIndex() != found) attached_->setAbsolutePosition(found + 1);
    if (attached_->currentIndex() != found) return false;   // the move was refused
    if (status_ != StatusShowing) {
        status_ = StatusShowing;
        showRow();
        ChangeStatus.raise(StatusShowing, ReasonSearch);
    } else {
        arrive(ReasonSearch, false);
    }
    return true;
}

void RecordFrame::RefreshRecord() {
    sync();
    if (status_ == StatusShowing && onRow())
        showRow();
    else
        clearControls();
    changed_ = false;
}

void RecordFrame::ShowCurrentRow() {
    sync();
    if (changed_ || status_ != StatusShowing) return;
    arrive(ReasonRequery, true);
}

bool RecordFrame::AddNew() {
    sync();
    commitControls();
    if (status_ == StatusShowing && changed_ && !saveRow(UpdateOnLeave)) return false;
    bool cancel = false;
    BeforeAddNew.raise(cancel);
    if (cancel) return false;
    status_ = StatusNew;
    clearControls();
    rememberOriginalKey();
    ChangeStatus.raise(StatusNew, ReasonAddNew);
    return true;
}

bool RecordFrame::Delete() {
    sync();
    if (!onRow()) return false;
    bool cancel = false;
    BeforeDelete.raise(cancel);
    if (cancel) return false;
    changed_ = false;
    shown_ = false;
    try {
        attached_->Delete();
    } catch (const db::Exception& e) {
        lastError_ = e.what();
        return false;
    }
    return true;
}

bool RecordFrame::Undo() {
    sync();
    bool cancel = false;
    BeforeUndo.raise(cancel);
    if (cancel) return false;
    RefreshRecord();
    return true;
}

bool RecordFrame::Save() { return saveRow(UpdateOnSave); }

bool RecordFrame::SaveBeforeLeaving() { return saveRow(UpdateOnLeave); }

void RecordFrame::commitControls() {
    if (status_ != StatusShowing || !shown_ || quiet_ > 0) return;
    for (auto& b : bindings_)
        if (auto c = b.control.lock()) c->commitInput();
}

bool RecordFrame::saveRow(int reason) {
    sync();
    commitControls();
    if (!changed_) return true;
    if (saving_) return false;
    if (!onRow() || !shown_ || currentBookmark() != shownBookmark_) {
        changed_ = false;   // the row it was shown for is gone
        endProposal();
        return true;
    }
    // A proposal nobody confirmed is never written on the way out.
    if (proposal_ && reason != UpdateOnSave) {
        Discard();
        return true;
    }
    Flag saving(saving_);
    int decision = DecisionWrite;
    ConfirmUpdate.raise(reason, decision);
    if (decision == DecisionStay) return false;
    if (decision == DecisionDiscard) {
        Discard();
        return true;
    }
    bool cancel = false;
    BeforeUpdate.raise(cancel);
    if (cancel) return false;
    if (onRow()) {
        Counter quiet(quiet_);
        for (auto& b : bindings_) {
            auto c = b.control.lock();
            if (!c) continue;
            try {
                db::Variant current = attached_->value(b.field);
                db::Variant v = c->boundValue();
                if (!sameValue(current, v)) attached_->setValue(b.field, coerceLike(current, v));
            } catch (const db::Exception& e) {
                lastError_ = e.what();
            }
        }
    }
    changed_ = false;
    endProposal();
    snapshotRow();
    AfterUpdate.raise(0);
    return true;
}

bool RecordFrame::CanClose(bool, bool, bool) { return saveRow(UpdateOnClose); }

void RecordFrame::Propose(const std::string& hint) {
    sync();
    endProposal();
    if (status_ != StatusShowing || !shown_ || !onRow() || shownValues_.size() != bindings_.size()) return;
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        auto c = bindings_[i].control.lock();
        if (!c) continue;
        db::Variant v;
        try {
            v = attached_->value(bindings_[i].field);
        } catch (const db::Exception& e) {
            lastError_ = e.what();
            continue;
        }
        if (sameValue(v, shownValues_[i])) continue;
        proposedFields_.push_back(bindings_[i].field);
        c->setProvisional(true, hint);
    }
    if (proposedFields_.empty()) return;
    proposal_ = true;
    proposalHint_ = hint;
    if (gridRaw_ && !grid_.expired()) gridRaw_->provisionalChanged();
}

void RecordFrame::ConfirmProposal() { endProposal(); }

void RecordFrame::endProposal() {
    if (!proposal_ && proposedFields_.empty()) return;
    proposal_ = false;
    proposedFields_.clear();
    proposalHint_.clear();
    for (auto& b : bindings_)
        if (auto c = b.control.lock()) c->setProvisional(false);
    if (gridRaw_ && !grid_.expired()) gridRaw_->provisionalChanged();
}

bool RecordFrame::isProposedField(const std::string& field) const {
    if (!proposal_) return false;
    return std::any_of(proposedFields_.begin(), proposedFields_.end(),
                       [&](const std::string& f) { return text::equalsIgnoreCaseAscii(f, field); });
}

db::Variant RecordFrame::shownValue(const std::string& field) const {
    if (!shown_ || shownValues_.size() != bindings_.size()) return db::Variant();
    for (std::size_t i = 0; i < bindings_.size(); ++i)
        if (text::equalsIgnoreCaseAscii(bindings_[i].field, field)) return shownValues_[i];
    return db::Variant();
}

void RecordFrame::Discard() {
    sync();
    if (!onRow() || !shown_ || currentBookmark() != shownBookmark_ || shownValues_.size() != bindings_.size()) {
        changed_ = false;
        endProposal();
        return;
    }
    {
        Counter quiet(quiet_);
        for (std::size_t i = 0; i < bindings_.size(); ++i) {
            try {
                if (!sameValue(attached_->value(bindings_[i].field), shownValues_[i]))
                    attached_->setValue(bindings_[i].field, shownValues_[i]);
            } catch (const db::Exception& e) {
                lastError_ = e.what();
            }
        }
    }
    showRow();
}

void RecordFrame::Terminate() {
    if (attached_) attached_->removeListener(this);
    attached_.reset();
    recordsetRef_ = nullptr;
    endProposal();
    for (auto& b : bindings_)
        if (auto c = b.control.lock()) {
            c->propertyChanged.disconnect(b.subscription);
            c->Edited.disconnect(b.editSubscription);
        }
    bindings_.clear();
    shownValues_.clear();
    boundControlsView_.clear();
    if (gridRaw_ && !grid_.expired() && gridRaw_->attachedFrame() == this) gridRaw_->attachFrame(nullptr);
    grid_.reset();
    gridRaw_ = nullptr;
    navigator_ = nullptr;
    hostInterface_.reset();
    connection_.reset();
    changed_ = false;
    shown_ = false;
}

// ---- recordset listener ----

void RecordFrame::willMove(db::Recordset& rs, bool& cancel) {
    if (&rs != attached_.get() || saving_ || cancel) return;
    if (onRow() && currentBookmark() == shownBookmark_) commitControls();
    if (status_ == StatusShowing && changed_ && shown_ && onRow() && currentBookmark() == shownBookmark_) {
        if (!saveRow(UpdateOnLeave)) cancel = true;
    }
    if (!cancel) movedInOperation_ = false;
}

void RecordFrame::moveComplete(db::Recordset& rs) {
    if (&rs != attached_.get() || gridForwards()) return;
    movedInOperation_ = true;
    arrive(ReasonMove, false);
}

void RecordFrame::fieldChanged(db::Recordset& rs, const std::string& field) {
    if (&rs != attached_.get() || quiet_ > 0 || status_ != StatusShowing || !shown_) return;
    if (!keyField_.empty() && text::equalsIgnoreCaseAscii(field, keyField_)) return;   // a key written is a search request
    bool bound = std::any_of(bindings_.begin(), bindings_.end(),
                             [&](const Binding& b) { return text::equalsIgnoreCaseAscii(b.field, field); });
    if (!bound || currentBookmark() != shownBookmark_) return;
    changed_ = true;
}

void RecordFrame::rowsChanged(db::Recordset& rs) {
    if (&rs != attached_.get() || gridForwards()) return;
    bool moved = movedInOperation_;
    movedInOperation_ = false;
    // After a move the row is shown already unless the move landed on the same row.
    arrive(ReasonRequery, !moved);
}

void RecordFrame::gridRowMoved(db::Recordset& rs) {
    if (&rs != attached_.get()) return;
    movedInOperation_ = true;
    arrive(ReasonMove, false);
}

void RecordFrame::gridRowsChanged(db::Recordset& rs) {
    if (&rs != attached_.get()) return;
    bool moved = movedInOperation_;
    movedInOperation_ = false;
    // After a move the row is shown already unless the move landed on the same row.
    arrive(ReasonRequery, !moved);
}

void RecordFrame::gridRebound() {
    sync();
    arrive(ReasonMove, false);
}

}  // namespace kit
