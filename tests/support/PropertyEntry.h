#pragma once
// A Cinterface that only stores what it is given, for tests that need an entry class without
// the module: every member reads back what was set (WindowState and ProgramMode keep the
// previous value outside the 16-bit range, as entry classes do), TransferData raises
// DataTransfer, ShowForm and CloseForm do nothing unless a test overrides them.

#include <cstdint>
#include <memory>

#include "host/Cinterface.h"

namespace testsupport {

class PropertyEntry : public host::Cinterface {
public:
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
    bool CanDelete() const override { return canDelete_; }
    void setCanDelete(bool v) override { canDelete_ = v; }
    bool CanUpdate() const override { return canUpdate_; }
    void setCanUpdate(bool v) override { canUpdate_ = v; }
    bool CanQbe() const override { return canQbe_; }
    void setCanQbe(bool v) override { canQbe_ = v; }
    std::int32_t WindowState() const override { return windowState_; }
    void setWindowState(std::int32_t v) override {
        if (v >= -32768 && v <= 32767) windowState_ = v;
    }
    bool WindowModal() const override { return modal_; }
    void setWindowModal(bool v) override { modal_ = v; }
    std::int32_t ProgramMode() const override { return programMode_; }
    void setProgramMode(std::int32_t v) override {
        if (v >= -32768 && v <= 32767) programMode_ = v;
    }
    db::Variant MenuModulo() const override { return menuModulo_; }
    void setMenuModulo(const db::Variant& v) override { menuModulo_ = v; }
    db::Variant MenuPadre() const override { return menuPadre_; }
    void setMenuPadre(const db::Variant& v) override { menuPadre_ = v; }
    db::Variant MenuProg() const override { return menuProg_; }
    void setMenuProg(const db::Variant& v) override { menuProg_ = v; }
    db::Variant Caption() const override { return caption_; }
    void setCaption(const db::Variant& v) override { caption_ = v; }
    std::int32_t hwndParent() const override { return hwndParent_; }
    void sethwndParent(std::int32_t v) override { hwndParent_ = v; }
    db::Variant ShowForm() override { return {}; }
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
    db::Variant Left() const override { return left_; }
    void setLeft(const db::Variant& v) override { left_ = v; }
    std::shared_ptr<db::Object> ClsVoceMenu() const override { return menu_; }
    void setClsVoceMenu(std::shared_ptr<db::Object> m) override { menu_ = std::move(m); }
    bool IsActive() const override { return isActive_; }
    void setIsActive(bool v) override { isActive_ = v; }
    bool IsCalled() const override { return isCalled_; }
    void setIsCalled(bool v) override { isCalled_ = v; }
    db::Variant Filtro() const override { return {}; }
    void setFiltro(const db::Variant&) override {}

private:
    std::shared_ptr<host::Global> global_;
    std::shared_ptr<db::Object> frame_, statusBar_, menu_;
    std::shared_ptr<host::Navigator> navigator_;
    host::ActiveDllSlot dll_;
    std::shared_ptr<db::Connection> connection_;
    bool canInsert_ = false, canDelete_ = false, canUpdate_ = false, canQbe_ = false;
    bool modal_ = false, isActive_ = false, isCalled_ = false;
    std::int32_t windowState_ = 0, programMode_ = 0, hwndParent_ = 0;
    db::Variant menuModulo_, menuPadre_, menuProg_, caption_, top_, left_;
};

}  // namespace testsupport
