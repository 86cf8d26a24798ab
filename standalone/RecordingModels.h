#pragma once
// Navigator, layout and script object models of the stand-alone host. They do what a stand-
// alone host needs (hand out the script model, answer the closing veto) and record every
// call in a HostEventLog so tests and the automation driver can see what the module said.

#include <memory>
#include <string>

#include "host/HostObjects.h"
#include "host/Navigator.h"
#include "standalone/HostEventLog.h"

namespace standalone {

class RecordingLayoutModel : public host::LayoutModel {
public:
    explicit RecordingLayoutModel(std::shared_ptr<HostEventLog> log) : log_(std::move(log)) {}
    void registerWindow(const db::Variant& title, std::shared_ptr<db::Object>& window, int option1,
                        int option2, int option3) override;
    void registerGrid(const db::Variant& name, std::shared_ptr<db::Object>& grid) override;

    // The objects registered last (the host would save and restore their layout).
    std::shared_ptr<db::Object> lastWindow() const { return window_.lock(); }
    std::shared_ptr<db::Object> lastGrid() const { return grid_.lock(); }

private:
    std::shared_ptr<HostEventLog> log_;
    std::weak_ptr<db::Object> window_, grid_;
};

class RecordingScriptModel : public host::ScriptModel {
public:
    explicit RecordingScriptModel(std::shared_ptr<HostEventLog> log) : log_(std::move(log)) {}
    void registerWindow(const std::string& name, std::shared_ptr<db::Object>& window, int option,
                        const db::Variant& title) override;
    void formEvent(const std::string& windowName, int option, int open, const db::Variant& name) override;
    bool closingVeto() override;
    void closingNotice(const std::string& text) override;

    // What closingVeto answers (false: closing allowed).
    void setClosingVeto(bool veto) { veto_ = veto; }

private:
    std::shared_ptr<HostEventLog> log_;
    bool veto_ = false;
};

class RecordingNavigator : public host::Navigator {
public:
    explicit RecordingNavigator(std::shared_ptr<HostEventLog> log);

    void refreshStatus(std::int16_t status) override;
    void refresh() override;
    void activationNotice() override;
    void formNotice(db::Variant& out) override;
    void closingNotice() override;
    std::shared_ptr<host::ScriptModel> scriptObjectModel() override;
    void clearLayoutModel() override;
    void clearScriptModel() override;
    void clearEntryLink() override;

    // Host side: raise the navigator's events the way the shell does. Each returns Cancel.
    // The layout and script events use the navigator's own models (recreated if cleared).
    bool raiseInitializeLayoutObjectModel();
    bool raiseInitializeScriptObjectModel();
    bool raiseBeforeExportToOffice(host::ExportToOffice& exporter);

    std::shared_ptr<RecordingLayoutModel> layoutModel() const { return layout_; }
    std::shared_ptr<RecordingScriptModel> scriptModel() const { return script_; }
    // New models after a clear (the next program on this navigator gets fresh ones).
    void resetModels();
    bool entryLinked() const { return entryLinked_; }

private:
    std::shared_ptr<HostEventLog> log_;
    std::shared_ptr<RecordingLayoutModel> layout_;
    std::shared_ptr<RecordingScriptModel> script_;
    bool entryLinked_ = true;
};

// A menu entry with a fixed text (ClsVoceMenu).
class SimpleMenuEntry : public host::MenuEntry {
public:
    explicit SimpleMenuEntry(std::string text) : text_(std::move(text)) {}
    std::string text() const override { return text_; }

private:
    std::string text_;
};

// A host frame with a settable Status (ActiveFrame).
class SimpleStatusFrame : public host::StatusFrame {
public:
    explicit SimpleStatusFrame(db::Variant status = 0) : status_(std::move(status)) {}
    db::Variant Status() const override { return status_; }
    void setStatus(db::Variant s) { status_ = std::move(s); }

private:
    db::Variant status_;
};

}  // namespace standalone
