#pragma once
// The four public entry classes the host creates by programmatic name. They are one
// implementation parameterised by the correlation kind: a store of the host properties of
// Cinterface, the point that opens the correlation editor in its kind (ShowForm), and the
// handlers of the host navigator's three events (export to office, layout and script object
// models). No member ever lets an error reach the host: each step that fails is skipped.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/CorrelationKind.h"
#include "entry/ModuleObjects.h"
#include "host/StoredCinterface.h"
#include "host/ExportToOffice.h"
#include "host/LayoutModel.h"
#include "host/Navigator.h"
#include "host/ScriptModel.h"

namespace editor {
class FRMCG_CORRRICL;
}

namespace entry {

// The title the navigator handlers use for a kind (COIN shares COGE's).
std::string kindTitle(editor::CorrelationKind kind);

// The text of the box a failure while terminating an instance shows: "Errore VB n." number
// " - " description and where it happened.
enum class TerminationStage { DestroyClass, Terminate };
std::string terminationErrorText(long number, const std::string& description, TerminationStage stage);

class CorrelationEntryClass : public host::StoredCinterface {
public:
    explicit CorrelationEntryClass(editor::CorrelationKind kind);
    ~CorrelationEntryClass() override;
    CorrelationEntryClass(const CorrelationEntryClass&) = delete;
    CorrelationEntryClass& operator=(const CorrelationEntryClass&) = delete;

    editor::CorrelationKind kind() const { return kind_; }
    // The editor last opened (by ShowForm, or handed back by a layout or script model).
    std::shared_ptr<editor::FRMCG_CORRRICL> Editor() const { return editor_; }
    // Every editor ShowForm opened that has not closed yet, oldest first.
    std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>> OpenEditors() const;

    std::shared_ptr<host::Global> ClsGlobal() const override;
    void setClsGlobal(std::shared_ptr<host::Global> global) override;
    std::shared_ptr<db::Object> ActiveFrame() const override;
    void setActiveFrame(std::shared_ptr<db::Object> frame) override;
    std::shared_ptr<host::Navigator> ActiveNavigator() const override;
    void setActiveNavigator(std::shared_ptr<host::Navigator> navigator) override;
    std::shared_ptr<host::Cinterface> ActiveDll() override;
    void setActiveDll(std::shared_ptr<host::Cinterface> dll) override;
    std::shared_ptr<db::Object> StatusBar() const override;
    void setStatusBar(std::shared_ptr<db::Object> bar) override;
    db::Variant ShowForm() override;
    db::Variant CloseForm() override { return {}; }
    std::shared_ptr<db::Connection> Connection() const override;
    void setConnection(std::shared_ptr<db::Connection> connection) override;
    db::Variant TransferData(const db::Variant& data) override;
    db::Variant Top() const override { return db::Variant(top_); }
    void setTop(const db::Variant& v) override;
    db::Variant Left() const override { return db::Variant(left_); }
    void setLeft(const db::Variant& v) override;
    std::shared_ptr<db::Object> ClsVoceMenu() const override;
    void setClsVoceMenu(std::shared_ptr<db::Object> entry) override;

    // Handlers of the navigator's events (connected while the navigator is set).
    void ActiveNavigator_BeforeExportToOffice(bool& Cancel, host::ExportToOffice& Pcls_ExpToOffice);
    void ActiveNavigator_InitializeLayoutObjectModel(bool& Cancel, host::LayoutModel& ClsLayout);
    void ActiveNavigator_InitializeScriptObjectModel(bool& Cancel, host::ScriptModel& ClsScript);

protected:
    // Releases the host objects in the order COGE, COIN and CONS terminate with.
    void releaseHostObjects() noexcept;
    // Releases in HYPE's order; the first failure throws to the caller.
    void releaseInDestroyOrder();
    std::shared_ptr<host::MessageCenter> messageCenterOrNull() const noexcept;

private:
    void subscribe();
    void unsubscribe();
    // An editor's unload clears the class's host links (ActiveDll, ActiveFrame, the
    // navigator, ClsGlobal, ClsVoceMenu, Connection, StatusBar). While another editor of this
    // class stays open those clears are held back and the class follows the newest open one.
    void followClosing(const std::shared_ptr<editor::FRMCG_CORRRICL>& shown);
    bool holdsLinks(const void* newValue) const;

    editor::CorrelationKind kind_;
    LiveObject live_;
    std::shared_ptr<editor::FRMCG_CORRRICL> editor_;
    // The editors this class showed: each stays alive until it has closed through its
    // query-unload and unload, also when a later ShowForm takes over editor_.
    std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>> shown_;
    bool holdLinks_ = false;
    std::shared_ptr<db::Connection> closingConnection_;
    std::int32_t top_ = 0;
    std::int32_t left_ = 0;
    std::shared_ptr<db::Connection> connection_;
    std::shared_ptr<host::Global> clsGlobal_;
    host::ActiveDllSlot activeDll_;
    std::shared_ptr<db::Object> statusBar_, activeFrame_, clsVoceMenu_;
    std::shared_ptr<host::Navigator> activeNavigator_;
    std::shared_ptr<db::Object> hostWindow_;   // never set by the module: Cwindow is always none
    std::array<int, 3> subscriptions_{};
};

class CLSCG_CORRRICLCOGE final : public CorrelationEntryClass {
public:
    CLSCG_CORRRICLCOGE() : CorrelationEntryClass(editor::CorrelationKind::COGE) {}
};

class CLSCG_CORRRICLCOIN final : public CorrelationEntryClass {
public:
    CLSCG_CORRRICLCOIN() : CorrelationEntryClass(editor::CorrelationKind::COIN) {}
};

class CLSCG_CORRRICLCONS final : public CorrelationEntryClass {
public:
    CLSCG_CORRRICLCONS() : CorrelationEntryClass(editor::CorrelationKind::CONS) {}
};

// HYPE terminates through DestroyClass, which reports a failure in a message box.
class CLSCG_CORRRICLHYPE final : public CorrelationEntryClass {
public:
    CLSCG_CORRRICLHYPE() : CorrelationEntryClass(editor::CorrelationKind::HYPE) {}
    ~CLSCG_CORRRICLHYPE() override;
    // Releases StatusBar, ActiveFrame, ClsGlobal, the host window, ActiveNavigator,
    // Connection, ActiveDll and the editor, in this order.
    void DestroyClass();
};

}  // namespace entry
