#pragma once
// A small program for the driver's engine tests: an entry class whose ShowForm opens a
// window with a code box that refuses "BAD", a combo, a grid over a record frame, a button
// that asks a question through the host's message centre and a button that opens a modal
// child window. The window refuses to close while IsCalled is true.

#include <memory>
#include <string>

#include "db/Recordset.h"
#include "host/Cinterface.h"
#include "host/Global.h"
#include "host/MessageCenter.h"
#include "kit/Kit.h"

namespace fake {

class FakeWindow;

class FakeEntry : public host::Cinterface {
public:
    explicit FakeEntry(kit::WindowSystem& ws) : ws_(ws) {}
    ~FakeEntry() override;

    std::shared_ptr<host::Global> ClsGlobal() const override { return global_; }
    void setClsGlobal(std::shared_ptr<host::Global> g) override { global_ = std::move(g); }
    std::shared_ptr<db::Object> ActiveFrame() const override { return frame_; }
    void setActiveFrame(std::shared_ptr<db::Object> f) override { frame_ = std::move(f); }
    std::shared_ptr<host::Navigator> ActiveNavigator() const override { return navigator_; }
    void setActiveNavigator(std::shared_ptr<host::Navigator> n) override { navigator_ = std::move(n); }
    std::shared_ptr<host::Cinterface> ActiveDll() override { return dll_.get(*this); }
    void setActiveDll(std::shared_ptr<host::Cinterface> d) override { dll_.set(*this, std::move(d)); }
    std::shared_ptr<db::Object> StatusBar() const override { return statusBar_; }
    void setStatusBar(std::shared_ptr<db::Object> b) override { statusBar_ = std::move(b); }
    bool CanInsert() const override { return canInsert_; }
    void setCanInsert(bool v) override { canInsert_ = v; }
    bool CanDelete() const override { return false; }
    void setCanDelete(bool) override {}
    bool CanUpdate() const override { return false; }
    void setCanUpdate(bool) override {}
    bool CanQbe() const override { return false; }
    void setCanQbe(bool) override {}
    std::int32_t WindowState() const override { return windowState_; }
    void setWindowState(std::int32_t v) override {
        if (v >= -32768 && v <= 32767) windowState_ = v;
    }
    bool WindowModal() const override { return modal_; }
    void setWindowModal(bool v) override { modal_ = v; }
    std::int32_t ProgramMode() const override { return 0; }
    void setProgramMode(std::int32_t) override {}
    db::Variant MenuModulo() const override { return {}; }
    void setMenuModulo(const db::Variant&) override {}
    db::Variant MenuPadre() const override { return {}; }
    void setMenuPadre(const db::Variant&) override {}
    db::Variant MenuProg() const override { return {}; }
    void setMenuProg(const db::Variant&) override {}
    db::Variant Caption() const override { return caption_; }
    void setCaption(const db::Variant& v) override { caption_ = v; }
    std::int32_t hwndParent() const override { return 0; }
    void sethwndParent(std::int32_t) override {}
    db::Variant ShowForm() override;
    db::Variant CloseForm() override { return {}; }
    std::shared_ptr<db::Connection> Connection() const override { return connection_; }
    void setConnection(std::shared_ptr<db::Connection> c) override { connection_ = std::move(c); }
    std::shared_ptr<db::Object> Cwindow() const override { return nullptr; }
    db::Variant TransferData(const db::Variant& data) override {
        DataTransfer.raise(data);
        return {};
    }
    db::Variant Top() const override { return top_; }
    void setTop(const db::Variant& v) override { top_ = v; }
    db::Variant Left() const override { return {}; }
    void setLeft(const db::Variant&) override {}
    std::shared_ptr<db::Object> ClsVoceMenu() const override { return menu_; }
    void setClsVoceMenu(std::shared_ptr<db::Object> m) override { menu_ = std::move(m); }
    bool IsActive() const override { return false; }
    void setIsActive(bool) override {}
    bool IsCalled() const override { return isCalled_; }
    void setIsCalled(bool v) override { isCalled_ = v; }
    db::Variant Filtro() const override { return {}; }
    void setFiltro(const db::Variant&) override {}

    // Set by ShowForm when the modal window's Show returned.
    bool modalReturned = false;
    // A connection for the code box's lookup (may be null).
    std::shared_ptr<db::Connection> lookupConnection;

private:
    kit::WindowSystem& ws_;
    std::shared_ptr<host::Global> global_;
    std::shared_ptr<db::Object> frame_, statusBar_, menu_;
    std::shared_ptr<host::Navigator> navigator_;
    host::ActiveDllSlot dll_;
    std::shared_ptr<db::Connection> connection_;
    bool canInsert_ = false, modal_ = false, isCalled_ = false;
    std::int32_t windowState_ = 0;
    db::Variant caption_, top_;
    std::shared_ptr<FakeWindow> window_;
};

class FakeWindow : public kit::Form {
public:
    FakeWindow(FakeEntry& entry, kit::WindowSystem& ws);

    FakeEntry& entry;
    std::shared_ptr<kit::CodeEditBox> code = create<kit::CodeEditBox>("TXT_CODE");
    std::shared_ptr<kit::CodeEditBox> other = create<kit::CodeEditBox>("TXT_OTHER");
    std::shared_ptr<kit::ListCombo> combo = create<kit::ListCombo>("CBO_SEGNO");
    std::shared_ptr<kit::MenuButton> ask = create<kit::MenuButton>("BUT_ASK");
    std::shared_ptr<kit::MenuButton> child = create<kit::MenuButton>("BUT_CHILD");
    std::shared_ptr<kit::CaptionLabel> answer = create<kit::CaptionLabel>("LBL_ANSWER");
    std::shared_ptr<kit::QueryGrid> grid = create<kit::QueryGrid>("GRID");
    std::shared_ptr<kit::GridNavigator> nav = create<kit::GridNavigator>("GRIDNAV");
    std::shared_ptr<db::Recordset> rows;
    std::shared_ptr<kit::RecordFrame> frame = std::make_shared<kit::RecordFrame>("FME");
    std::unique_ptr<kit::Form> childWindow;
    std::shared_ptr<db::Object> hostLink;
    std::shared_ptr<db::Connection> noConnection;
};

}  // namespace fake
