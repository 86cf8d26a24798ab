#pragma once
// The record frame: binds controls to the fields of a recordset by their dbfield, shows the
// current row in them, and turns the user's changes into its before/after events. A row
// that was changed is saved (BeforeUpdate, own update, AfterUpdate) before the cursor leaves
// it, whoever moves the cursor; a cancelled BeforeUpdate keeps the cursor on the row.

#include <memory>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "kit/Control.h"
#include "kit/Event.h"

namespace kit {

class GridNavigator;
class QueryGrid;

// Status values: 0 a row is shown; 2 no row shown (new or search mode). Others are stored.
enum FrameStatus { StatusShowing = 0, StatusNew = 2 };

// Why a changed row is about to be written (ConfirmUpdate's first argument).
enum UpdateReason {
    UpdateOnSave = 0,    // the frame's save: the user asked for it
    UpdateOnLeave = 1,   // the cursor leaves the row (a move, new-record mode, a new search)
    UpdateOnClose = 2    // the window closes (CanClose)
};

// What the form decides in ConfirmUpdate.
enum UpdateDecision {
    DecisionWrite = 0,     // go on: BeforeUpdate, the frame's own update, AfterUpdate
    DecisionDiscard = 1,   // nothing is written; the row shows what it held when shown
    DecisionStay = 2       // nothing is written and the row stays current: the move is refused
};

// Why ChangeStatus was raised.
enum ChangeReason {
    ReasonProgram = 0,   // Status set by the form
    ReasonMove = 1,      // the cursor moved to another row
    ReasonRequery = 2,   // the rows were read again (SetQuery, re-open)
    ReasonAddNew = 3,    // new-record mode
    ReasonSearch = 4     // Search found the row
};

class RecordFrame : public db::Object, public db::RecordsetListener {
public:
    explicit RecordFrame(std::string name = "");
    ~RecordFrame() override;
    RecordFrame(const RecordFrame&) = delete;
    RecordFrame& operator=(const RecordFrame&) = delete;

    const std::string& name() const { return name_; }

    // The frame keeps a reference to the caller's recordset variable and follows whatever
    // object it holds (also after the caller replaces it, or re-binds the grid); the
    // variable must outlive the frame or Terminate must be called first.
    void Init(std::shared_ptr<db::Object>& hostInterface, std::shared_ptr<db::Connection>& connection,
              std::shared_ptr<db::Recordset>& recordset, const std::string& query, const std::string& text,
              GridNavigator* navigator, QueryGrid* grid);
    // Binds a control to the field named by its dbfield. KitError when it has none.
    void BindControl(Control& control);
    void KeyControl(Control& control);
    const std::string& keyField() const { return keyField_; }

    int Status() const { return status_; }
    // Setting 0 shows the current row; 2 saves a changed row first (false when that save
    // was cancelled: the status stays) and clears the bound controls.
    bool setStatus(int status);

    // Re-reads the view: shows the current row (Status 0).
    void SetQuery(const std::string& query);
    const std::string& Query() const { return query_; }
    // Clears the bound controls; nothing is pending afterwards.
    void Clear();
    // Moves to the row whose key the form wrote into the current row's key field (the
    // current row gets its own key back) and shows it (Status 0). False when not found.
    bool Search(bool b1, bool b2);
    // Shows the current row's values again (no ChangeStatus); nothing is pending afterwards.
    void RefreshRecord();
    // Shows the current row again as if the cursor had just arrived (ChangeStatus 0), for a
    // form that ignored the row shown while it was still filling itself. Nothing happens
    // while a change is pending or no row is shown.
    void ShowCurrentRow();
    // BeforeAddNew, then Status 2. A changed row is saved first. False when refused.
    bool AddNew();
    // BeforeDelete; when not cancelled deletes the current row.
    bool Delete();
    // BeforeUndo; when not cancelled shows the row's values again.
    bool Undo();
    // A changed row: BeforeUpdate; when not cancelled writes the bound controls into the
    // row and raises AfterUpdate(0). True when nothing is pending afterwards.
    bool Save();
    // Saves a changed row before the window closes; false when the row must stay.
    bool CanClose(bool b1, bool b2, bool b3);
    // Saves a changed row the way a move does (a proposal is discarded); false when the row
    // must stay.
    bool SaveBeforeLeaving();

    // Proposals. The form pre-filled the shown row: the changes made since the row was shown
    // are a proposal, marked provisional in the bound controls and the grid. A proposal is
    // written only through Save (after ConfirmUpdate) or once the form confirms it; leaving the
    // row any other way, or closing, discards it. The user editing a bound control ends it.
    void Propose(const std::string& hint);
    void ConfirmProposal();
    bool isProposal() const { return proposal_; }
    // Whether `field` of the current row shows a proposed value.
    bool isProposedField(const std::string& field) const;
    // What bound `field` held when the current row was shown or last saved (what Discard puts
    // back); Empty when no row is shown or the field is not bound.
    db::Variant shownValue(const std::string& field) const;
    const std::string& proposalHint() const { return proposalHint_; }
    // Puts the row's bound fields and the controls back to what the row held when it was
    // shown (or last saved); nothing is pending afterwards.
    void Discard();
    // Lets go of the recordset, the controls, the grid and the navigator.
    void Terminate();

    bool isChanged() const { return changed_; }
    std::shared_ptr<db::Recordset> recordset();   // the object followed now (may be null)
    GridNavigator* navigator() const { return navigator_; }
    const std::vector<std::weak_ptr<Control>>& boundControls() const { return boundControlsView_; }
    // The last failure while showing or saving a row (an unknown field), "" when none.
    const std::string& lastError() const { return lastError_; }

    Event<int> AfterUpdate;
    Event<bool&> BeforeAddNew;
    Event<bool&> BeforeDelete;
    Event<bool&> BeforeUndo;
    Event<bool&> BeforeUpdate;
    Event<int, int> ChangeStatus;
    // Before a changed row is written: (UpdateReason, UpdateDecision& decision). The decision
    // starts as DecisionWrite. Not raised for a proposal left unconfirmed, which is discarded.
    Event<int, int&> ConfirmUpdate;

    // --- recordset listener ---
    void willMove(db::Recordset&, bool& cancel) override;
    void moveComplete(db::Recordset&) override;
    void fieldChanged(db::Recordset&, const std::string& field) override;
    void rowsChanged(db::Recordset&) override;

    // --- from the grid, so that the row is shown before the grid reports it ---
    void gridRowMoved(db::Recordset& rs);
    void gridRowsChanged(db::Recordset& rs);
    void gridRebound();

private:
    struct Binding {
        std::weak_ptr<Control> control;
        std::string field;
        int subscription = 0;
        int editSubscription = 0;
    };
    void sync();
    void attach(std::shared_ptr<db::Recordset> rs);
    bool onRow() const;
    db::Variant currentBookmark() const;
    void arrive(int reason, bool force);
    void showRow();
    void clearControls();
    void rememberOriginalKey();
    bool gridForwards() const;
    void controlChanged(const std::string& property, Control* c);
    bool saveRow(int reason);
    void commitControls();
    void snapshotRow();
    void endProposal();

    std::string name_;
    std::shared_ptr<db::Recordset>* recordsetRef_ = nullptr;
    std::shared_ptr<db::Recordset> attached_;
    std::shared_ptr<db::Object> hostInterface_;
    std::shared_ptr<db::Connection> connection_;
    std::string query_, text_;
    GridNavigator* navigator_ = nullptr;
    std::weak_ptr<Control> grid_;
    QueryGrid* gridRaw_ = nullptr;
    std::vector<Binding> bindings_;
    std::vector<std::weak_ptr<Control>> boundControlsView_;
    std::string keyField_;
    int status_ = StatusNew;
    bool changed_ = false;
    int quiet_ = 0;          // > 0 while the frame itself writes controls or fields
    bool saving_ = false;
    bool shown_ = false;     // a row is shown in the controls
    // One recordset operation may report a move and a row-set change: the row is shown once.
    bool movedInOperation_ = false;
    db::Variant shownBookmark_;
    db::Variant originalKey_;
    db::Variant originalKeyBookmark_;
    std::string lastError_;
    // The bound fields' values when the row was shown or last saved, one per binding.
    std::vector<db::Variant> shownValues_;
    bool proposal_ = false;
    std::vector<std::string> proposedFields_;
    std::string proposalHint_;
};

}  // namespace kit
