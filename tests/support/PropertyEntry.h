#pragma once
// A Cinterface that only stores what it is given, for tests that need an entry class without
// the module: every member reads back what was set (WindowState and ProgramMode keep the
// previous value outside the 16-bit range, as entry classes do), TransferData raises
// DataTransfer, ShowForm and CloseForm do nothing unless a test overrides them.

#include <cstdint>
#include <memory>

#include "host/StoredCinterface.h"

namespace testsupport {

class PropertyEntry : public host::StoredCinterface {
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
    db::Variant ShowForm() override { return {}; }
    db::Variant CloseForm() override { return {}; }
    std::shared_ptr<db::Connection> Connection() const override { return connection_; }
    void setConnection(std::shared_ptr<db::Connection> c) override { connection_ = std::move(c); }
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

private:
    std::shared_ptr<host::Global> global_;
    std::shared_ptr<db::Object> frame_, statusBar_, menu_;
    std::shared_ptr<host::Navigator> navigator_;
    host::ActiveDllSlot dll_;
    std::shared_ptr<db::Connection> connection_;
    db::Variant top_, left_;
};

}  // namespace testsupport
