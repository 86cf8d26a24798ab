#pragma once
// The interface every entry class offers the host shell. Members are declared in the
// interface's slot order (1 to 28); property pairs are `Name()` / `setName(v)`.
// The entry class raises DataTransfer from TransferData.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "db/Connection.h"
#include "db/Variant.h"
#include "host/Fwd.h"
#include "kit/Event.h"

namespace host {

class Cinterface : public db::Object, public std::enable_shared_from_this<Cinterface> {
public:
    ~Cinterface() override = default;

    /* 1 */ virtual std::shared_ptr<Global> ClsGlobal() const = 0;
            virtual void setClsGlobal(std::shared_ptr<Global> global) = 0;
    /* 2 */ virtual std::shared_ptr<db::Object> ActiveFrame() const = 0;
            virtual void setActiveFrame(std::shared_ptr<db::Object> frame) = 0;
    /* 3 */ virtual std::shared_ptr<Navigator> ActiveNavigator() const = 0;
            virtual void setActiveNavigator(std::shared_ptr<Navigator> navigator) = 0;
    // 4: by default the entry class itself (see ActiveDllSlot for a leak-free way to hold it).
    /* 4 */ virtual std::shared_ptr<Cinterface> ActiveDll() = 0;
            virtual void setActiveDll(std::shared_ptr<Cinterface> dll) = 0;
    /* 5 */ virtual std::shared_ptr<db::Object> StatusBar() const = 0;
            virtual void setStatusBar(std::shared_ptr<db::Object> bar) = 0;
    /* 6 */ virtual bool CanInsert() const = 0;
            virtual void setCanInsert(bool v) = 0;
    /* 7 */ virtual bool CanDelete() const = 0;
            virtual void setCanDelete(bool v) = 0;
    /* 8 */ virtual bool CanUpdate() const = 0;
            virtual void setCanUpdate(bool v) = 0;
    /* 9 */ virtual bool CanQbe() const = 0;
            virtual void setCanQbe(bool v) = 0;
    /* 10 */ virtual std::int32_t WindowState() const = 0;
             virtual void setWindowState(std::int32_t v) = 0;
    /* 11 */ virtual bool WindowModal() const = 0;
             virtual void setWindowModal(bool v) = 0;
    /* 12 */ virtual std::int32_t ProgramMode() const = 0;
             virtual void setProgramMode(std::int32_t v) = 0;
    /* 13 */ virtual db::Variant MenuModulo() const = 0;
             virtual void setMenuModulo(const db::Variant& v) = 0;
    /* 14 */ virtual db::Variant MenuPadre() const = 0;
             virtual void setMenuPadre(const db::Variant& v) = 0;
    /* 15 */ virtual db::Variant MenuProg() const = 0;
             virtual void setMenuProg(const db::Variant& v) = 0;
    /* 16 */ virtual db::Variant Caption() const = 0;
             virtual void setCaption(const db::Variant& v) = 0;
    /* 17 */ virtual std::int32_t hwndParent() const = 0;
             virtual void sethwndParent(std::int32_t v) = 0;
    /* 18 */ virtual db::Variant ShowForm() = 0;
    /* 19 */ virtual db::Variant CloseForm() = 0;
    /* 20 */ virtual std::shared_ptr<db::Connection> Connection() const = 0;
             virtual void setConnection(std::shared_ptr<db::Connection> connection) = 0;
    /* 21 */ virtual std::shared_ptr<db::Object> Cwindow() const = 0;
    /* 22 */ virtual db::Variant TransferData(const db::Variant& data) = 0;
    /* 23 */ virtual db::Variant Top() const = 0;
             virtual void setTop(const db::Variant& v) = 0;
    /* 24 */ virtual db::Variant Left() const = 0;
             virtual void setLeft(const db::Variant& v) = 0;
    /* 25 */ virtual std::shared_ptr<db::Object> ClsVoceMenu() const = 0;
             virtual void setClsVoceMenu(std::shared_ptr<db::Object> entry) = 0;
    /* 26 */ virtual bool IsActive() const = 0;
             virtual void setIsActive(bool v) = 0;
    /* 27 */ virtual bool IsCalled() const = 0;
             virtual void setIsCalled(bool v) = 0;
    /* 28 */ virtual db::Variant Filtro() const = 0;
             virtual void setFiltro(const db::Variant& v) = 0;

    // Outgoing event of the entry class, raised only by TransferData.
    kit::Event<const db::Variant&> DataTransfer;
};

// Member names in slot order, for tools that address members by name (automation driver).
inline constexpr std::array<std::string_view, 28> kCinterfaceMembers = {
    "ClsGlobal", "ActiveFrame", "ActiveNavigator", "ActiveDll", "StatusBar",
    "CanInsert", "CanDelete", "CanUpdate", "CanQbe", "WindowState",
    "WindowModal", "ProgramMode", "MenuModulo", "MenuPadre", "MenuProg",
    "Caption", "hwndParent", "ShowForm", "CloseForm", "Connection",
    "Cwindow", "TransferData", "Top", "Left", "ClsVoceMenu",
    "IsActive", "IsCalled", "Filtro"};

// Holds an entry class's ActiveDll without a reference cycle. The default, "the instance
// itself", is kept as a flag and resolved with shared_from_this on each read, so the
// instance never owns a strong reference to itself. Assigning another Cinterface stores it;
// assigning the instance itself goes back to the flag; assigning nullptr clears the link.
class ActiveDllSlot {
public:
    std::shared_ptr<Cinterface> get(Cinterface& self) const {
        if (self_) {
            // weak_from_this: an instance not (yet) owned by a shared_ptr yields nullptr
            // instead of throwing.
            return self.weak_from_this().lock();
        }
        return other_;
    }
    void set(Cinterface& self, std::shared_ptr<Cinterface> dll) {
        if (dll.get() == &self) {
            self_ = true;
            other_.reset();
        } else {
            self_ = false;
            other_ = std::move(dll);
        }
    }
    bool isSelf() const { return self_; }

private:
    bool self_ = true;
    std::shared_ptr<Cinterface> other_;
};

}  // namespace host
