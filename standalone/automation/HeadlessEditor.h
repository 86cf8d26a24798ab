#pragma once
// A correlation editor opened without a display, the way the automation driver opens one:
// the entry class created by programmatic name, handed the stand-alone host's objects and
// shown modeless; the header typed into its fields as a user types it. Message boxes are
// answered with their default button and kept, so that a refused header can be told.

#include <memory>
#include <stdexcept>
#include <string>

#include "host/Cinterface.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"
#include "standalone/automation/AutomationDriver.h"
#include "standalone/automation/AutomationWindowSystem.h"

namespace standalone {

// What stopped the editor; what() is the Italian text for the user.
class HeadlessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HeaderCodes {
    std::string intercompany;   // CONS: the structure, which brings its ledger chart
    std::string chart;          // the chart to reclassify (in CONS optional: checked against the structure's)
    std::string reclChart;
};

class HeadlessEditor {
public:
    // `classes` must outlive the editor (the module shows its windows through this one's
    // window system).
    HeadlessEditor(Settings settings, ClassSource& classes);
    ~HeadlessEditor();
    HeadlessEditor(const HeadlessEditor&) = delete;
    HeadlessEditor& operator=(const HeadlessEditor&) = delete;

    // Creates the entry class and shows its editor. HeadlessError when the class cannot be
    // created or no window opened.
    void open(const std::string& progId);
    // Types the header and confirms each field with Tab. HeadlessError, with the messages the
    // editor showed, when a field is refused or the list is not filled.
    void fillHeader(const HeaderCodes& codes);
    // The host's export command on the open editor (nullptr when a handler cancelled).
    std::shared_ptr<OfficeExport> exportToOffice();

    kit::Form& window() const;
    StandaloneHost& host() { return host_; }
    ScriptedDialogs& dialogs() { return *dialogs_; }

private:
    // `what` names the field for the user ("il piano dei conti").
    void typeAndTab(const std::string& control, const std::string& text, const std::string& what);
    [[noreturn]] void refused(const std::string& what);

    std::shared_ptr<HostEventLog> events_;
    std::shared_ptr<ScriptedDialogs> dialogs_;
    StandaloneHost host_;
    AutomationWindowSystem windows_;
    ClassSource& classes_;
    std::shared_ptr<host::Cinterface> entry_;
    std::shared_ptr<RecordingNavigator> navigator_;
};

}  // namespace standalone
