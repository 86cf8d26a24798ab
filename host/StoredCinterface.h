#pragma once
// The members of Cinterface that only keep what the host sets, for every class that offers the
// interface: the four permissions, window state, modality and program mode (a value outside
// 16 bits leaves the previous one, as the host's integer properties do), the menu texts, the
// caption, the parent window, the active and called flags. Filtro and Cwindow hold nothing.

#include <cstdint>

#include "host/Cinterface.h"

namespace host {

class StoredCinterface : public Cinterface {
public:
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
        if (fitsInt16(v)) windowState_ = static_cast<std::int16_t>(v);
    }
    bool WindowModal() const override { return windowModal_; }
    void setWindowModal(bool v) override { windowModal_ = v; }
    std::int32_t ProgramMode() const override { return programMode_; }
    void setProgramMode(std::int32_t v) override {
        if (fitsInt16(v)) programMode_ = static_cast<std::int16_t>(v);
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
    std::shared_ptr<db::Object> Cwindow() const override { return nullptr; }
    bool IsActive() const override { return isActive_; }
    void setIsActive(bool v) override { isActive_ = v; }
    bool IsCalled() const override { return isCalled_; }
    void setIsCalled(bool v) override { isCalled_ = v; }
    db::Variant Filtro() const override { return {}; }
    void setFiltro(const db::Variant&) override {}

private:
    static bool fitsInt16(std::int32_t v) { return v >= -32768 && v <= 32767; }

    bool canInsert_ = false, canDelete_ = false, canUpdate_ = false, canQbe_ = false;
    std::int16_t windowState_ = 0, programMode_ = 0;
    bool windowModal_ = false;
    db::Variant menuModulo_, menuPadre_, menuProg_, caption_;
    std::int32_t hwndParent_ = 0;
    bool isActive_ = false, isCalled_ = false;
};

}  // namespace host
