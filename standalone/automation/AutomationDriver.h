#pragma once
// The automation driver: JSON requests, one a line, drive entry classes and their windows
// through the same host services and control models a user's actions would reach; one JSON
// reply a line answers each request. docs/automation.md lists the requests.
//
// Modal windows: a request that opens a modal window (ShowForm with WindowModal, a button
// that opens a modal editor) is answered at once with {"ok":true,"modal":true,...}; the
// driver then keeps reading and serving requests inside the window system's nested loop
// until that window closes, and only then does the program's call return.

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/Cinterface.h"
#include "standalone/RecordingModels.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/Settings.h"
#include "standalone/StandaloneHost.h"
#include "standalone/automation/AutomationWindowSystem.h"

namespace standalone {

// Creates entry classes by programmatic name: the module's shared library in the tool, an
// in-process registry in tests. The window system is the one the created class's windows
// must use. Throws std::exception with a reason when the name is unknown.
class ClassSource {
public:
    virtual ~ClassSource() = default;
    virtual std::shared_ptr<host::Cinterface> create(const std::string& progId, kit::WindowSystem& windows) = 0;
};

// A ClassSource over functions registered by name (tests, and hosts that link classes in).
class RegisteredClasses : public ClassSource {
public:
    using Factory = std::function<std::shared_ptr<host::Cinterface>(kit::WindowSystem&)>;
    void add(const std::string& progId, Factory factory) { factories_[progId] = std::move(factory); }
    std::shared_ptr<host::Cinterface> create(const std::string& progId, kit::WindowSystem& windows) override;

private:
    std::map<std::string, Factory> factories_;
};

class AutomationDriver {
public:
    AutomationDriver(Settings settings, ClassSource& classes, std::istream& in, std::ostream& out,
                     std::ostream& err);
    ~AutomationDriver();
    AutomationDriver(const AutomationDriver&) = delete;
    AutomationDriver& operator=(const AutomationDriver&) = delete;

    // Serves requests until the end of the input (or a "quit" request), then closes the
    // windows still open. Returns the exit status (0).
    int run();

    // Called when the input ends while a modal window is open and refuses to close: the
    // default ends the process (after a note on the error stream); tests replace it.
    void setForcedExit(std::function<void(int)> exitFn) { forcedExit_ = std::move(exitFn); }

    StandaloneHost& host() { return host_; }

    // A request a program adds to the driver's own: `handler` answers the requests whose
    // "cmd" is `name` with the reply's fields ("ok" is added); an exception it throws becomes
    // {"ok":false,"error":…}.
    using Request = std::function<nlohmann::json(const nlohmann::json& request)>;
    void addRequest(const std::string& name, Request handler);
    // What an added request addresses, found as the driver's own requests find it: the
    // window ("window") and the programmatic name of the entry class ("entry").
    kit::Form& requestWindow(const nlohmann::json& request) { return windowOf(request); }
    const std::string& requestProgId(const nlohmann::json& request) { return entryOf(request).progId; }
    AutomationWindowSystem& windowSystem() { return windows_; }
    ScriptedDialogs& dialogs() { return *dialogs_; }

private:
    struct Entry {
        int id = 0;
        std::string progId;
        std::shared_ptr<host::Cinterface> object;
        std::shared_ptr<RecordingNavigator> navigator;   // the host navigator wired to it
        int dataTransferSubscription = 0;
    };
    // A request being served; the stack grows while a modal window's loop serves requests.
    struct Pending {
        nlohmann::json id;        // echoed in the reply
        bool replied = false;
        std::size_t openedAtStart = 0;
        std::size_t closedAtStart = 0;
    };

    bool readLine(std::string& line);
    void serveLine(const std::string& line);
    void send(nlohmann::json reply);
    void modalLoop(kit::Form& form);
    void closeAllAtEnd();

    nlohmann::json dispatch(const nlohmann::json& request);

    // Requests.
    nlohmann::json cmdCreate(const nlohmann::json& r);
    nlohmann::json cmdSet(const nlohmann::json& r);
    nlohmann::json cmdGet(const nlohmann::json& r);
    nlohmann::json cmdCall(const nlohmann::json& r);
    nlohmann::json cmdNavigator(const nlohmann::json& r);
    nlohmann::json cmdScriptVeto(const nlohmann::json& r);
    nlohmann::json cmdWindows(const nlohmann::json& r);
    nlohmann::json cmdState(const nlohmann::json& r);
    nlohmann::json cmdType(const nlohmann::json& r);
    nlohmann::json cmdFocus(const nlohmann::json& r);
    nlohmann::json cmdKey(const nlohmann::json& r);
    nlohmann::json cmdClick(const nlohmann::json& r);
    nlohmann::json cmdMenu(const nlohmann::json& r);
    nlohmann::json cmdSelect(const nlohmann::json& r);
    nlohmann::json cmdLookup(const nlohmann::json& r);
    nlohmann::json cmdQueueLookup(const nlohmann::json& r);
    nlohmann::json cmdLastLookup(const nlohmann::json& r);
    nlohmann::json cmdGridClick(const nlohmann::json& r);
    nlohmann::json cmdNavButton(const nlohmann::json& r);
    nlohmann::json cmdFrame(const nlohmann::json& r);
    nlohmann::json cmdClose(const nlohmann::json& r);
    nlohmann::json cmdAnswer(const nlohmann::json& r);
    nlohmann::json cmdEvents(const nlohmann::json& r);
    nlohmann::json cmdReportOutput(const nlohmann::json& r);

    // Addressing.
    Entry& entryOf(const nlohmann::json& r);
    kit::Form& windowOf(const nlohmann::json& r);
    kit::Control& controlOf(kit::Form& form, const nlohmann::json& r, const char* key = "control");
    // Moves the focus to `c` as a click would; fills `reply` when refused. False if refused.
    bool focusFor(kit::Control& c, nlohmann::json& reply);

    // Members.
    void setMember(Entry& e, const std::string& member, const nlohmann::json& value);
    nlohmann::json getMember(Entry& e, const std::string& member);
    void wireHost(Entry& e);
    nlohmann::json objectJson(const std::shared_ptr<db::Object>& o, Entry& self);

    nlohmann::json windowState(kit::Form& form, const nlohmann::json& r);
    nlohmann::json controlState(kit::Control& c, const nlohmann::json& r);
    static nlohmann::json lookupJson(const LookupSnapshot& s);

    std::map<std::string, Request> addedRequests_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    ClassSource& classes_;
    std::shared_ptr<HostEventLog> events_;
    std::shared_ptr<ScriptedDialogs> dialogs_;
    StandaloneHost host_;
    AutomationWindowSystem windows_;
    std::vector<Entry> entries_;
    int nextEntryId_ = 1;
    std::vector<Pending> pending_;
    bool inputEnded_ = false;
    bool quit_ = false;
    long sqlSinkToken_ = 0;
    std::function<void(int)> forcedExit_;
};

}  // namespace standalone
