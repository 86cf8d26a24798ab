#include "standalone/automation/AutomationDriver.h"

#include <cstdio>
#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "db/Trace.h"
#include "host/HostObjects.h"
#include "kit/Kit.h"
#include "kit/UserAction.h"
#include "standalone/automation/JsonValues.h"
#include "standalone/automation/ProgramLookups.h"
#include "text/Text.h"

namespace standalone {

using nlohmann::json;
using automation::toJson;
using automation::toVariant;

namespace {

// A request that cannot be served as asked: answered {"ok":false,"error":...}.
class RequestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Copying and writing a JSON value recurse into it: a request nested deeper than any real
// one is refused before it is parsed.
constexpr int kMaxRequestNesting = 64;

bool nestedTooDeep(const std::string& line) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxRequestNesting) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

std::string requireString(const json& r, const char* key) {
    auto it = r.find(key);
    if (it == r.end() || !it->is_string()) throw RequestError(std::string("\"") + key + "\" deve essere un testo");
    return it->get<std::string>();
}

long long requireInteger(const json& r, const char* key) {
    auto it = r.find(key);
    if (it == r.end() || !it->is_number_integer()) throw RequestError(std::string("\"") + key + "\" deve essere un numero intero");
    return it->get<long long>();
}

bool flag(const json& r, const char* key, bool fallback) {
    auto it = r.find(key);
    if (it == r.end()) return fallback;
    if (!it->is_boolean()) throw RequestError(std::string("\"") + key + "\" deve essere true o false");
    return it->get<bool>();
}

std::int32_t toInt32(const json& v, const std::string& member) {
    if (!v.is_number_integer()) throw RequestError("il membro " + member + " vuole un numero intero");
    auto n = v.get<long long>();
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        throw RequestError("il membro " + member + " vuole un numero a 32 bit; " + std::to_string(n) + " è fuori intervallo");
    return static_cast<std::int32_t>(n);
}

bool toBool(const json& v, const std::string& member) {
    if (!v.is_boolean()) throw RequestError("il membro " + member + " vuole true o false");
    return v.get<bool>();
}

int keyCode(const json& k) {
    if (k.is_number_integer()) return k.get<int>();
    if (!k.is_string()) throw RequestError("\"key\" deve essere il nome o il codice di un tasto");
    static const std::map<std::string, int> names = {
        {"tab", kit::keys::Tab},       {"enter", kit::keys::Enter},     {"return", kit::keys::Enter},
        {"escape", kit::keys::Escape}, {"esc", kit::keys::Escape},      {"pageup", kit::keys::PageUp},
        {"pagedown", kit::keys::PageDown}, {"end", kit::keys::End},     {"home", kit::keys::Home},
        {"left", kit::keys::Left},     {"up", kit::keys::Up},           {"right", kit::keys::Right},
        {"down", kit::keys::Down},     {"f3", kit::keys::F3},           {"f4", kit::keys::F4},
        {"f9", kit::keys::F9}};
    auto it = names.find(text::toLowerAscii(k.get<std::string>()));
    if (it == names.end()) throw RequestError("tasto sconosciuto " + k.get<std::string>());
    return it->second;
}

int shiftState(const json& r) {
    auto it = r.find("shift");
    if (it == r.end()) return 0;
    if (it->is_number_integer()) return it->get<int>();
    if (it->is_string()) {
        std::string s = it->get<std::string>();
        if (s == "Shift") return kit::keys::ShiftMask;
        if (s == "Ctrl") return kit::keys::CtrlMask;
        if (s == "Alt") return kit::keys::AltMask;
    }
    throw RequestError("\"shift\" deve essere un numero (1 Shift, 2 Ctrl, 4 Alt) o Shift, Ctrl, Alt");
}

json focusName(const kit::Form& form) {
    return form.focused() ? json(form.focused()->name()) : json(nullptr);
}

bool isMethod(const std::string& m) { return m == "ShowForm" || m == "CloseForm" || m == "TransferData"; }

bool isMember(const std::string& m) {
    for (auto name : host::kCinterfaceMembers)
        if (name == m) return true;
    return false;
}

// A plain host object (StatusBar) that carries nothing.
struct PlainObject : db::Object {};

}  // namespace

std::shared_ptr<host::Cinterface> RegisteredClasses::create(const std::string& progId, kit::WindowSystem& windows) {
    auto it = factories_.find(progId);
    if (it == factories_.end()) throw std::runtime_error("nessuna classe registrata come " + progId);
    return it->second(windows);
}

AutomationDriver::AutomationDriver(Settings settings, ClassSource& classes, std::istream& in, std::ostream& out,
                                   std::ostream& err)
    : in_(in),
      out_(out),
      err_(err),
      classes_(classes),
      events_(std::make_shared<HostEventLog>()),
      dialogs_(std::make_shared<ScriptedDialogs>(events_)),
      host_(StandaloneHost::create(std::move(settings), dialogs_, events_)),
      windows_(events_) {
    windows_.setModalLoop([this](kit::Form& f) { modalLoop(f); });
    windows_.setDialogs(dialogs_);
    host_.setProgramPresenter(std::make_shared<ProgramLookups>(windows_.lookupPresenter()));
    std::weak_ptr<HostEventLog> log = events_;
    sqlSinkToken_ = db::addGlobalSink(db::makeSink(
        [log](const db::TraceEvent& e) {
            auto l = log.lock();
            if (!l) return;
            if (e.failed) {
                l->record("sqlError", {{"connection", e.connectionId}, {"text", e.commandText}, {"error", e.error}});
            } else {
                json f = {{"connection", e.connectionId}, {"text", e.commandText}};
                if (!e.executedText.empty()) f["executed"] = e.executedText;
                l->record("sql", std::move(f));
            }
        },
        [log](const db::SwallowedError& e) {
            if (auto l = log.lock()) l->record("swallowedError", {{"procedure", e.procedure}, {"error", e.description}});
        }));
    forcedExit_ = [this](int code) {
        out_.flush();
        err_.flush();
        std::fflush(nullptr);
        std::_Exit(code);
    };
}

AutomationDriver::~AutomationDriver() { db::removeGlobalSink(sqlSinkToken_); }

// ---------------------------------------------------------------- the loop

bool AutomationDriver::readLine(std::string& line) {
    if (inputEnded_ || quit_) return false;
    if (!std::getline(in_, line)) {
        inputEnded_ = true;
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

int AutomationDriver::run() {
    std::string line;
    while (readLine(line)) serveLine(line);
    closeAllAtEnd();
    return 0;
}

void AutomationDriver::send(json reply) {
    if (!pending_.empty()) {
        Pending& p = pending_.back();
        if (!p.id.is_null()) reply["id"] = p.id;
        const auto& opened = windows_.openedLog();
        const auto& closed = windows_.closedLog();
        if (opened.size() > p.openedAtStart)
            reply["windowsOpened"] = std::vector<std::string>(opened.begin() + static_cast<long>(p.openedAtStart), opened.end());
        if (closed.size() > p.closedAtStart)
            reply["windowsClosed"] = std::vector<std::string>(closed.begin() + static_cast<long>(p.closedAtStart), closed.end());
        p.replied = true;
    }
    out_ << automation::dumpLine(reply) << '\n';
    out_.flush();
}

void AutomationDriver::serveLine(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    kit::UserAction action;
    const bool tooDeep = nestedTooDeep(line);
    json request = tooDeep ? json() : json::parse(line, nullptr, /*allow_exceptions=*/false);
    pending_.push_back({nullptr, false, windows_.openedLog().size(), windows_.closedLog().size()});
    json reply;
    if (tooDeep) {
        reply = {{"ok", false},
                 {"error", "la richiesta supera " + std::to_string(kMaxRequestNesting) + " livelli di annidamento"}};
    } else if (request.is_discarded()) {
        reply = {{"ok", false}, {"error", "la richiesta non è un JSON valido"}};
    } else if (!request.is_object()) {
        reply = {{"ok", false}, {"error", "una richiesta deve essere un oggetto JSON"}};
    } else {
        if (auto it = request.find("id"); it != request.end()) pending_.back().id = *it;
        try {
            reply = dispatch(request);
            reply["ok"] = true;
        } catch (const std::exception& e) {
            reply = {{"ok", false}, {"error", e.what()}};
        } catch (...) {
            reply = {{"ok", false}, {"error", "errore sconosciuto"}};
        }
    }
    if (!pending_.back().replied) {
        send(std::move(reply));
    } else if (reply.value("ok", true) == false) {
        // Already answered (it opened a modal window): the failure goes to the events.
        events_->record("requestFailed", {{"error", reply.value("error", std::string())}});
    }
    pending_.pop_back();
}

void AutomationDriver::modalLoop(kit::Form& form) {
    if (!pending_.empty() && !pending_.back().replied) {
        send({{"ok", true}, {"modal", true}, {"window", form.name()}, {"hWnd", form.hWnd()}});
    }
    std::string line;
    while (windows_.isOpen(&form)) {
        if (!readLine(line)) {
            // The input ended (or "quit") while the window is open: close it as a user would.
            if (!form.close() && windows_.isOpen(&form)) {
                err_ << "brevanto-cli automate: l'input è finito con la finestra modale " << form.name()
                     << " aperta e la finestra ha rifiutato la chiusura; uscita comunque\n";
                forcedExit_(0);
            }
            break;
        }
        serveLine(line);
    }
}

void AutomationDriver::closeAllAtEnd() {
    // Most recent first, as a user closing the windows on top would.
    for (int guard = 0; guard < 100; ++guard) {
        kit::Form* f = windows_.top();
        if (!f) break;
        try {
            if (!f->close() && windows_.isOpen(f)) {
                err_ << "brevanto-cli automate: la finestra " << f->name() << " ha rifiutato la chiusura a fine input\n";
                // The session ends all the same: the window goes without asking again.
                f->unload();
                if (windows_.isOpen(f)) break;
            }
        } catch (const std::exception& e) {
            err_ << "brevanto-cli automate: chiusura di " << f->name() << " non riuscita: " << e.what() << '\n';
            break;
        }
    }
    for (auto& e : entries_)
        if (e.dataTransferSubscription) e.object->DataTransfer.disconnect(e.dataTransferSubscription);
}

json AutomationDriver::dispatch(const json& r) {
    std::string cmd = requireString(r, "cmd");
    if (cmd == "create") return cmdCreate(r);
    if (cmd == "set") return cmdSet(r);
    if (cmd == "get") return cmdGet(r);
    if (cmd == "call") return cmdCall(r);
    if (cmd == "showForm") {
        json c = r;
        c["method"] = "ShowForm";
        return cmdCall(c);
    }
    if (cmd == "navigator") return cmdNavigator(r);
    if (cmd == "scriptVeto") return cmdScriptVeto(r);
    if (cmd == "windows") return cmdWindows(r);
    if (cmd == "state") return cmdState(r);
    if (cmd == "type") return cmdType(r);
    if (cmd == "focus") return cmdFocus(r);
    if (cmd == "key") return cmdKey(r);
    if (cmd == "click") return cmdClick(r);
    if (cmd == "menu") return cmdMenu(r);
    if (cmd == "select") return cmdSelect(r);
    if (cmd == "lookup") return cmdLookup(r);
    if (cmd == "queueLookup") return cmdQueueLookup(r);
    if (cmd == "lastLookup") return cmdLastLookup(r);
    if (cmd == "gridClick") return cmdGridClick(r);
    if (cmd == "navButton") return cmdNavButton(r);
    if (cmd == "frame") return cmdFrame(r);
    if (cmd == "close") return cmdClose(r);
    if (cmd == "answer") return cmdAnswer(r);
    if (cmd == "events") return cmdEvents(r);
    if (cmd == "reportOutput") return cmdReportOutput(r);
    if (cmd == "quit") {
        quit_ = true;
        return json::object();
    }
    if (auto added = addedRequests_.find(cmd); added != addedRequests_.end()) return added->second(r);
    throw RequestError("richiesta sconosciuta \"" + cmd + "\"");
}

void AutomationDriver::addRequest(const std::string& name, Request handler) {
    addedRequests_[name] = std::move(handler);
}

// ---------------------------------------------------------------- addressing

AutomationDriver::Entry& AutomationDriver::entryOf(const json& r) {
    if (entries_.empty()) throw RequestError("nessuna classe di ingresso è stata creata");
    auto it = r.find("entry");
    if (it == r.end()) return entries_.back();
    if (!it->is_number_integer()) throw RequestError("\"entry\" deve essere il numero restituito da una richiesta create");
    int id = it->get<int>();
    for (auto& e : entries_)
        if (e.id == id) return e;
    throw RequestError("nessuna classe di ingresso " + std::to_string(id));
}

kit::Form& AutomationDriver::windowOf(const json& r) {
    auto it = r.find("window");
    kit::Form* f = nullptr;
    if (it == r.end() || it->is_null()) {
        f = windows_.top();
        if (!f) throw RequestError("nessuna finestra aperta");
    } else if (it->is_string()) {
        f = windows_.findByName(it->get<std::string>());
        if (!f) throw RequestError("nessuna finestra aperta di nome " + it->get<std::string>());
    } else if (it->is_number_integer()) {
        f = windows_.findByHandle(it->get<long>());
        if (!f) throw RequestError("nessuna finestra aperta con handle " + std::to_string(it->get<long>()));
    } else {
        throw RequestError("\"window\" deve essere il nome o l'handle di una finestra");
    }
    return *f;
}

kit::Control& AutomationDriver::controlOf(kit::Form& form, const json& r, const char* key) {
    std::string name = requireString(r, key);
    auto c = form.find(name);
    if (!c) throw RequestError("la finestra " + form.name() + " non ha un controllo di nome " + name);
    return *c;
}

bool AutomationDriver::focusFor(kit::Control& c, json& reply) {
    kit::Form& form = c.form();
    if (c.hasFocus() || !c.canFocus()) return true;
    kit::Control* before = form.focused();
    bool moved = form.setFocus(c);
    if (moved && c.hasFocus()) return true;
    reply["refused"] = true;
    if (before && form.focused() == before) reply["refusedBy"] = before->name();
    reply["focused"] = focusName(form);
    return false;
}

// ---------------------------------------------------------------- entry classes

json AutomationDriver::cmdCreate(const json& r) {
    std::string progId = requireString(r, "progId");
    auto object = classes_.create(progId, windows_);
    if (!object) throw RequestError("il modulo non ha creato alcun oggetto per " + progId);
    Entry e;
    e.id = nextEntryId_++;
    e.progId = progId;
    e.object = std::move(object);
    int id = e.id;
    std::weak_ptr<HostEventLog> log = events_;
    e.dataTransferSubscription = e.object->DataTransfer.connect([log, id](const db::Variant& data) {
        if (auto l = log.lock()) l->record("dataTransfer", {{"entry", id}, {"data", toJson(data)}});
    });
    entries_.push_back(std::move(e));
    Entry& added = entries_.back();
    if (flag(r, "wireHost", false)) wireHost(added);
    if (auto it = r.find("members"); it != r.end()) {
        if (!it->is_object()) throw RequestError("\"members\" deve essere un oggetto di nomi e valori dei membri");
        for (auto& [name, value] : it->items()) setMember(added, name, value);
    }
    return {{"entry", added.id}, {"progId", progId}};
}

void AutomationDriver::wireHost(Entry& e) {
    e.object->setClsGlobal(host_.global);
    e.navigator = host_.newNavigator();
    e.object->setActiveNavigator(e.navigator);
    e.object->setActiveFrame(std::make_shared<SimpleStatusFrame>(0));
    e.object->setClsVoceMenu(std::make_shared<SimpleMenuEntry>(e.progId));
}

void AutomationDriver::setMember(Entry& e, const std::string& m, const json& v) {
    auto& o = *e.object;
    if (isMethod(m)) throw RequestError(m + " è un metodo: usare {\"cmd\":\"call\",\"method\":\"" + m + "\"}");
    if (m == "Cwindow") throw RequestError("Cwindow si può solo leggere");
    if (!isMember(m)) throw RequestError("Cinterface non ha il membro " + m);

    auto wantsHost = [&] { return v.is_string() && v.get<std::string>() == "host"; };
    auto objectError = [&](const std::string& forms) {
        return RequestError("il membro " + m + " vuole un oggetto: " + forms);
    };
    if (m == "ClsGlobal") {
        if (v.is_null()) o.setClsGlobal(nullptr);
        else if (wantsHost()) o.setClsGlobal(host_.global);
        else throw objectError("null o \"host\"");
    } else if (m == "ActiveNavigator") {
        if (v.is_null()) {
            o.setActiveNavigator(nullptr);
        } else if (wantsHost()) {
            e.navigator = host_.newNavigator();
            o.setActiveNavigator(e.navigator);
        } else {
            throw objectError("null o \"host\"");
        }
    } else if (m == "ActiveFrame") {
        if (v.is_null()) o.setActiveFrame(nullptr);
        else if (wantsHost()) o.setActiveFrame(std::make_shared<SimpleStatusFrame>(0));
        else if (v.is_object() && v.contains("status")) o.setActiveFrame(std::make_shared<SimpleStatusFrame>(toVariant(v["status"])));
        else throw objectError("null, \"host\" o {\"status\":N}");
    } else if (m == "ClsVoceMenu") {
        if (v.is_null()) o.setClsVoceMenu(nullptr);
        else if (wantsHost()) o.setClsVoceMenu(std::make_shared<SimpleMenuEntry>(e.progId));
        else if (v.is_object() && v.contains("text") && v["text"].is_string())
            o.setClsVoceMenu(std::make_shared<SimpleMenuEntry>(v["text"].get<std::string>()));
        else throw objectError("null, \"host\" o {\"text\":\"...\"}");
    } else if (m == "StatusBar") {
        if (v.is_null()) o.setStatusBar(nullptr);
        else if (wantsHost()) o.setStatusBar(std::make_shared<PlainObject>());
        else throw objectError("null o \"host\"");
    } else if (m == "ActiveDll") {
        if (v.is_null()) {
            o.setActiveDll(nullptr);
        } else if (v.is_string() && v.get<std::string>() == "self") {
            o.setActiveDll(e.object);
        } else if (v.is_object() && v.contains("entry")) {
            Entry& other = entryOf(v);
            o.setActiveDll(other.object);
        } else {
            throw objectError("null, \"self\" o {\"entry\":N}");
        }
    } else if (m == "Connection") {
        if (v.is_null()) {
            o.setConnection(nullptr);
        } else if (wantsHost()) {
            auto c = db::Connection::create();
            c->Open(host_.global->hostConnectionString());
            o.setConnection(c);
        } else {
            throw objectError("null o \"host\" (una connessione aperta sulla stringa di connessione dell'host)");
        }
    } else if (m == "CanInsert") o.setCanInsert(toBool(v, m));
    else if (m == "CanDelete") o.setCanDelete(toBool(v, m));
    else if (m == "CanUpdate") o.setCanUpdate(toBool(v, m));
    else if (m == "CanQbe") o.setCanQbe(toBool(v, m));
    else if (m == "WindowModal") o.setWindowModal(toBool(v, m));
    else if (m == "IsActive") o.setIsActive(toBool(v, m));
    else if (m == "IsCalled") o.setIsCalled(toBool(v, m));
    else if (m == "WindowState") o.setWindowState(toInt32(v, m));
    else if (m == "ProgramMode") o.setProgramMode(toInt32(v, m));
    else if (m == "hwndParent") o.sethwndParent(toInt32(v, m));
    else {
        db::Variant value;
        try {
            value = toVariant(v);
        } catch (const std::invalid_argument& ex) {
            throw RequestError("membro " + m + ": " + ex.what());
        }
        if (m == "MenuModulo") o.setMenuModulo(value);
        else if (m == "MenuPadre") o.setMenuPadre(value);
        else if (m == "MenuProg") o.setMenuProg(value);
        else if (m == "Caption") o.setCaption(value);
        else if (m == "Top") o.setTop(value);
        else if (m == "Left") o.setLeft(value);
        else if (m == "Filtro") o.setFiltro(value);
    }
}

json AutomationDriver::objectJson(const std::shared_ptr<db::Object>& obj, Entry& self) {
    if (!obj) return nullptr;
    if (auto g = std::dynamic_pointer_cast<host::Global>(obj))
        return {{"object", "Global"}, {"host", g == host_.global}};
    if (auto n = std::dynamic_pointer_cast<host::Navigator>(obj))
        return {{"object", "Navigator"}, {"host", self.navigator && n == self.navigator}};
    if (auto c = std::dynamic_pointer_cast<host::Cinterface>(obj)) {
        json j = {{"object", "Cinterface"}, {"self", c == self.object}};
        for (auto& e : entries_)
            if (e.object == c) j["entry"] = e.id;
        return j;
    }
    if (auto c = std::dynamic_pointer_cast<db::Connection>(obj))
        return {{"object", "Connection"}, {"state", c->State()}};
    if (auto f = std::dynamic_pointer_cast<host::StatusFrame>(obj))
        return {{"object", "StatusFrame"}, {"status", toJson(f->Status())}};
    if (auto m = std::dynamic_pointer_cast<host::MenuEntry>(obj))
        return {{"object", "MenuEntry"}, {"text", m->text()}};
    return {{"object", true}};
}

json AutomationDriver::getMember(Entry& e, const std::string& m) {
    auto& o = *e.object;
    if (isMethod(m)) throw RequestError(m + " è un metodo: usare {\"cmd\":\"call\",\"method\":\"" + m + "\"}");
    if (m == "ClsGlobal") return objectJson(o.ClsGlobal(), e);
    if (m == "ActiveFrame") return objectJson(o.ActiveFrame(), e);
    if (m == "ActiveNavigator") return objectJson(o.ActiveNavigator(), e);
    if (m == "ActiveDll") return objectJson(o.ActiveDll(), e);
    if (m == "StatusBar") return objectJson(o.StatusBar(), e);
    if (m == "Connection") return objectJson(o.Connection(), e);
    if (m == "ClsVoceMenu") return objectJson(o.ClsVoceMenu(), e);
    if (m == "Cwindow") return objectJson(o.Cwindow(), e);
    if (m == "CanInsert") return o.CanInsert();
    if (m == "CanDelete") return o.CanDelete();
    if (m == "CanUpdate") return o.CanUpdate();
    if (m == "CanQbe") return o.CanQbe();
    if (m == "WindowModal") return o.WindowModal();
    if (m == "IsActive") return o.IsActive();
    if (m == "IsCalled") return o.IsCalled();
    if (m == "WindowState") return o.WindowState();
    if (m == "ProgramMode") return o.ProgramMode();
    if (m == "hwndParent") return o.hwndParent();
    if (m == "MenuModulo") return toJson(o.MenuModulo());
    if (m == "MenuPadre") return toJson(o.MenuPadre());
    if (m == "MenuProg") return toJson(o.MenuProg());
    if (m == "Caption") return toJson(o.Caption());
    if (m == "Top") return toJson(o.Top());
    if (m == "Left") return toJson(o.Left());
    if (m == "Filtro") return toJson(o.Filtro());
    throw RequestError("Cinterface non ha il membro " + m);
}

json AutomationDriver::cmdSet(const json& r) {
    Entry& e = entryOf(r);
    if (auto it = r.find("members"); it != r.end()) {
        if (!it->is_object()) throw RequestError("\"members\" deve essere un oggetto di nomi e valori dei membri");
        for (auto& [name, value] : it->items()) setMember(e, name, value);
        return {{"entry", e.id}};
    }
    std::string member = requireString(r, "member");
    if (!r.contains("value")) throw RequestError("manca \"value\"");
    setMember(e, member, r["value"]);
    return {{"entry", e.id}};
}

json AutomationDriver::cmdGet(const json& r) {
    Entry& e = entryOf(r);
    if (auto it = r.find("member"); it != r.end()) {
        if (!it->is_string()) throw RequestError("\"member\" deve essere un testo");
        return {{"entry", e.id}, {"value", getMember(e, it->get<std::string>())}};
    }
    json values = json::object();
    if (auto it = r.find("members"); it != r.end()) {
        if (!it->is_array()) throw RequestError("\"members\" deve essere un array di nomi di membri");
        for (auto& m : *it) {
            if (!m.is_string()) throw RequestError("i nomi dei membri devono essere testi");
            values[m.get<std::string>()] = getMember(e, m.get<std::string>());
        }
    } else {
        for (auto name : host::kCinterfaceMembers) {
            std::string m(name);
            if (!isMethod(m)) values[m] = getMember(e, m);
        }
    }
    return {{"entry", e.id}, {"values", values}};
}

json AutomationDriver::cmdCall(const json& r) {
    Entry& e = entryOf(r);
    std::string method = requireString(r, "method");
    db::Variant result;
    if (method == "ShowForm") {
        result = e.object->ShowForm();
    } else if (method == "CloseForm") {
        result = e.object->CloseForm();
    } else if (method == "TransferData") {
        db::Variant data;
        if (auto it = r.find("data"); it != r.end()) {
            try {
                data = toVariant(*it);
            } catch (const std::invalid_argument& ex) {
                throw RequestError(std::string("\"data\": ") + ex.what());
            }
        }
        result = e.object->TransferData(data);
    } else {
        throw RequestError("Cinterface non ha il metodo " + method + " (ShowForm, CloseForm, TransferData)");
    }
    return {{"entry", e.id}, {"result", toJson(result)}, {"modal", false}};
}

json AutomationDriver::cmdNavigator(const json& r) {
    Entry& e = entryOf(r);
    if (!e.navigator) throw RequestError("la classe di ingresso " + std::to_string(e.id) + " non ha il navigatore dell'host (crearla con \"wireHost\":true)");
    std::string ev = requireString(r, "event");
    json reply = {{"entry", e.id}, {"event", ev}};
    if (ev == "layout") {
        reply["cancel"] = e.navigator->raiseInitializeLayoutObjectModel();
    } else if (ev == "script") {
        reply["cancel"] = e.navigator->raiseInitializeScriptObjectModel();
    } else if (ev == "export") {
        auto exporter = host_.newExport();
        reply["cancel"] = e.navigator->raiseBeforeExportToOffice(*exporter);
        json sections = json::array();
        for (const auto& s : exporter->sections()) {
            json js = {{"kind", s.kind == ExportSection::Kind::Master ? "master" : "detail"},
                       {"caption", s.caption}, {"captions", s.captions}};
            if (s.kind == ExportSection::Kind::Master) {
                json values = json::array();
                for (const auto& v : s.values) values.push_back(toJson(v));
                js["values"] = values;
            } else {
                json rows = json::array();
                for (const auto& row : s.rows) {
                    json jr = json::array();
                    for (const auto& v : row) jr.push_back(toJson(v));
                    rows.push_back(jr);
                }
                js["rows"] = rows;
            }
            sections.push_back(js);
        }
        reply["title"] = exporter->titoloMaster();
        reply["sections"] = sections;
        if (auto it = r.find("file"); it != r.end()) {
            if (!it->is_string()) throw RequestError("\"file\" deve essere un percorso");
            exporter->writeXlsx(it->get<std::string>());
            reply["file"] = *it;
        }
    } else {
        throw RequestError("evento del navigatore sconosciuto " + ev + " (export, layout, script)");
    }
    return reply;
}

json AutomationDriver::cmdScriptVeto(const json& r) {
    Entry& e = entryOf(r);
    if (!e.navigator) throw RequestError("la classe di ingresso " + std::to_string(e.id) + " non ha il navigatore dell'host");
    bool veto = flag(r, "veto", true);
    if (!e.navigator->scriptModel()) e.navigator->resetModels();
    e.navigator->scriptModel()->setClosingVeto(veto);
    return {{"entry", e.id}, {"veto", veto}};
}

// ---------------------------------------------------------------- windows

json AutomationDriver::cmdWindows(const json&) {
    json list = json::array();
    for (const auto& w : windows_.windows()) {
        list.push_back({{"name", w.form->name()}, {"hWnd", w.form->hWnd()}, {"caption", w.form->Caption()},
                        {"modal", w.modal}, {"visible", w.form->Visible()},
                        {"windowState", w.form->WindowState()}, {"focused", focusName(*w.form)}});
    }
    return {{"windows", list}};
}

json AutomationDriver::cmdState(const json& r) { return {{"window", windowState(windowOf(r), r)}}; }

json AutomationDriver::windowState(kit::Form& form, const json& r) {
    json controls = json::array();
    const json* only = nullptr;
    if (auto it = r.find("controls"); it != r.end()) {
        if (!it->is_array()) throw RequestError("\"controls\" deve essere un array di nomi di controlli");
        only = &*it;
    }
    if (only) {
        for (const auto& n : *only) {
            if (!n.is_string()) throw RequestError("i nomi dei controlli devono essere testi");
            auto c = form.find(n.get<std::string>());
            if (!c) throw RequestError("la finestra " + form.name() + " non ha un controllo di nome " + n.get<std::string>());
            controls.push_back(controlState(*c, r));
        }
    } else {
        for (const auto& c : form.controls()) controls.push_back(controlState(*c, r));
    }
    bool modal = false;
    for (const auto& w : windows_.windows())
        if (w.form == &form) modal = w.modal;
    return {{"name", form.name()},        {"hWnd", form.hWnd()},
            {"caption", form.Caption()},  {"modal", modal},
            {"visible", form.Visible()},  {"windowState", form.WindowState()},
            {"width", form.Width()},      {"height", form.Height()},
            {"focused", focusName(form)}, {"controls", controls}};
}

json AutomationDriver::controlState(kit::Control& c, const json& r) {
    json j = {{"name", c.name()},         {"type", c.typeName()},       {"text", c.Text()},
              {"value", toJson(c.boundValue())},
              {"visible", c.Visible()},   {"enabled", c.Enabled()},     {"tabStop", c.TabStop()},
              {"tabIndex", c.TabIndex()}, {"caption", c.Caption()},     {"designCaption", c.caption()},
              {"dbfield", c.dbfield()},   {"tag", c.tag()},             {"top", c.Top()},
              {"left", c.Left()},         {"height", c.Height()},       {"width", c.Width()},
              {"canFocus", c.canFocus()}, {"provisional", c.Provisional()}};
    if (c.Provisional()) j["provisionalHint"] = c.ProvisionalHint();
    if (auto* b = dynamic_cast<kit::CodeEditBox*>(&c)) {
        json menu = json::array();
        for (const auto& m : b->menuEntries()) menu.push_back({{"key", m.key}, {"caption", m.caption}, {"enabled", m.enabled}});
        j["decoded"] = b->IsDecoded();
        j["displayText"] = b->displayText();
        j["idLookup"] = b->IDLookup();
        j["lastError"] = b->lastError();
        j["menu"] = menu;
    } else if (auto* a = dynamic_cast<kit::CoinAccountBox*>(&c)) {
        j["value"] = a->Value();
        j["displayText"] = a->DisplayText();
        j["description"] = a->Description();
        j["decoded"] = a->IsDecoded();
        j["analytic"] = a->IsAnalytic();
        j["accountType"] = a->AccountType();
        j["chartCode"] = toJson(a->ChartCode());
        j["lastError"] = a->lastError();
    } else if (auto* l = dynamic_cast<kit::LedgerAccountBox*>(&c)) {
        j["description"] = l->Description();
        j["decoded"] = l->IsDecoded();
        j["accountType"] = l->AccountType();
        j["chartCode"] = l->ChartCode();
        j["lastError"] = l->lastError();
    } else if (auto* cb = dynamic_cast<kit::ListCombo*>(&c)) {
        json items = json::array();
        for (const auto& i : cb->items()) items.push_back({{"text", i.text}, {"value", toJson(i.value)}});
        j["items"] = items;
        j["listIndex"] = cb->ListIndex();
    } else if (auto* g = dynamic_cast<kit::QueryGrid*>(&c)) {
        json cols = json::array();
        for (const auto& col : g->columns())
            cols.push_back({{"field", col.field}, {"caption", col.caption}, {"kind", col.kind},
                            {"width", col.width}, {"shown", col.shown}});
        long count = g->rowCount();
        long first = r.contains("firstRow") && r["firstRow"].is_number_integer() ? r["firstRow"].get<long>() : 0;
        long max = r.contains("maxRows") && r["maxRows"].is_number_integer() ? r["maxRows"].get<long>() : 1000;
        if (first < 0) first = 0;
        json rows = json::array();
        for (long row = first; row < count && row < first + max; ++row) {
            json cells = json::array();
            for (int col = 0; col < static_cast<int>(g->columns().size()); ++col) cells.push_back(g->cellText(row, col));
            rows.push_back(cells);
        }
        j["columns"] = cols;
        j["rowCount"] = count;
        j["currentRow"] = g->currentRow();
        j["firstRow"] = first;
        j["rows"] = rows;
        if (kit::RecordFrame* f = g->attachedFrame()) {
            j["frame"] = {{"name", f->name()}, {"status", f->Status()}, {"changed", f->isChanged()},
                          {"proposal", f->isProposal()}, {"lastError", f->lastError()}};
            // The row that shows a proposed value, and its cells that do.
            json proposed = json::array();
            for (int col = 0; col < static_cast<int>(g->columns().size()); ++col)
                if (g->isProvisionalCell(g->currentRow(), col)) proposed.push_back(g->columns()[col].field);
            j["proposedRow"] = proposed.empty() ? -1 : g->currentRow();
            j["proposedFields"] = proposed;
        }
    } else if (auto* n = dynamic_cast<kit::GridNavigator*>(&c)) {
        j["detached"] = n->Detached();
        j["hasFrame"] = n->Frame() != nullptr;
        j["buttons"] = kit::GridNavigator::buttonNames();
    } else if (auto* m = dynamic_cast<kit::MdiHostBox*>(&c)) {
        const auto& p = m->placement();
        j["placed"] = m->placed();
        j["placement"] = {{"left", p.left}, {"top", p.top}, {"width", p.width}, {"height", p.height}};
        j["windowState"] = m->WindowState();
    } else if (auto* img = dynamic_cast<kit::ImageBox*>(&c)) {
        j["picture"] = img->Picture();
    }
    return j;
}

// ---------------------------------------------------------------- user actions

json AutomationDriver::cmdType(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    std::string text = requireString(r, "text");
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (!c.canFocus()) throw RequestError("il controllo " + c.name() + " non può ricevere il focus (nascosto o disabilitato)");
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["typed"] = false;
        return reply;
    }
    c.enterText(text);
    reply["typed"] = true;
    reply["text"] = c.Text();
    reply["focused"] = focusName(form);
    return reply;
}

json AutomationDriver::cmdFocus(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (!c.canFocus()) {
        reply["moved"] = false;
        reply["reason"] = "il controllo non può ricevere il focus (nascosto, disabilitato o non focalizzabile)";
        reply["focused"] = focusName(form);
        return reply;
    }
    reply["moved"] = focusFor(c, reply) && c.hasFocus();
    reply["focused"] = focusName(form);
    return reply;
}

json AutomationDriver::cmdKey(const json& r) {
    kit::Form& form = windowOf(r);
    int key = keyCode(r.contains("key") ? r["key"] : json());
    int shift = shiftState(r);
    json reply = {{"window", form.name()}, {"key", key}};
    if (r.contains("control")) {
        kit::Control& c = controlOf(form, r);
        if (!c.canFocus()) throw RequestError("il controllo " + c.name() + " non può ricevere il focus (nascosto o disabilitato)");
        if (!focusFor(c, reply)) {
            reply["delivered"] = false;
            return reply;
        }
    }
    if (!form.focused()) {
        reply["delivered"] = false;
        reply["reason"] = "nessun controllo ha il focus";
        reply["focused"] = nullptr;
        return reply;
    }
    reply["to"] = form.focused()->name();
    form.keyDown(key, shift);
    reply["delivered"] = true;
    if (windows_.isOpen(&form)) reply["focused"] = focusName(form);
    return reply;
}

json AutomationDriver::cmdClick(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    auto* button = dynamic_cast<kit::MenuButton*>(&c);
    if (!button) throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + ", non un pulsante");
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["clicked"] = false;
        return reply;
    }
    reply["clicked"] = button->click();
    if (windows_.isOpen(&form)) reply["focused"] = focusName(form);
    return reply;
}

json AutomationDriver::cmdMenu(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    std::string key;
    if (r.contains("key")) key = requireString(r, "key");
    else if (r.contains("id")) key = "Kpers" + std::to_string(requireInteger(r, "id"));
    else throw RequestError("una richiesta menu vuole \"key\" (Kgestione, Kpers1, ...) o \"id\"");
    json reply = {{"window", form.name()}, {"control", c.name()}, {"key", key}};
    if (auto* b = dynamic_cast<kit::CodeEditBox*>(&c)) {
        reply["pressed"] = b->pressMenuKey(key);
    } else if (auto* a = dynamic_cast<kit::CoinAccountBox*>(&c)) {
        reply["pressed"] = a->pressMenuKey(key);
    } else {
        throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + " e non ha il menu dei tasti");
    }
    return reply;
}

json AutomationDriver::cmdSelect(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    auto* combo = dynamic_cast<kit::ListCombo*>(&c);
    if (!combo) throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + ", non una casella combinata");
    int index = -1;
    if (r.contains("index")) {
        index = static_cast<int>(requireInteger(r, "index"));
    } else if (r.contains("text") || r.contains("value")) {
        for (int i = 0; i < combo->ListCount(); ++i) {
            const auto& item = combo->items()[i];
            if (r.contains("text") && r["text"].is_string() && item.text == r["text"].get<std::string>()) index = i;
            if (r.contains("value") && item.value == toVariant(r["value"])) index = i;
            if (index >= 0) break;
        }
        if (index < 0) throw RequestError("la casella combinata " + c.name() + " non ha questa voce");
    } else {
        throw RequestError("una richiesta select vuole \"index\", \"text\" o \"value\"");
    }
    if (index < -1 || index >= combo->ListCount())
        throw RequestError("la casella combinata " + c.name() + " ha " + std::to_string(combo->ListCount()) + " voci");
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["selected"] = false;
        return reply;
    }
    combo->select(index);
    reply["selected"] = true;
    reply["listIndex"] = combo->ListIndex();
    reply["text"] = combo->Text();
    return reply;
}

namespace {

LookupChoice choiceFrom(const json& p) {
    if (p.is_null()) return LookupChoice::cancel();
    if (p.is_number_integer()) return LookupChoice::row(p.get<long>());
    if (p.is_object() && p.contains("code") && p["code"].is_string()) return LookupChoice::code(p["code"].get<std::string>());
    throw RequestError("una scelta di ricerca è un numero di riga (da 0), {\"code\":\"...\"} o null per annullare");
}

}  // namespace

json AutomationDriver::lookupJson(const LookupSnapshot& s) {
    json cols = json::array();
    for (const auto& f : s.columns) cols.push_back({{"column", f.column}, {"caption", f.caption}, {"width", f.width}});
    return {{"caption", s.caption}, {"idLookup", s.idLookup}, {"currentText", s.currentText},
            {"fields", s.fieldNames}, {"columns", cols},   {"rowCount", s.rowCount},
            {"rows", s.rows},         {"picked", s.picked}};
}

json AutomationDriver::cmdLookup(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    auto* code = dynamic_cast<kit::CodeEditBox*>(&c);
    auto* coin = dynamic_cast<kit::CoinAccountBox*>(&c);
    if (!code && !coin) throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + " e non ha una ricerca");
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["chosen"] = false;
        return reply;
    }
    auto& presenter = windows_.lookupPresenter();
    std::size_t shownBefore = presenter.shownCount();
    presenter.pushFront(r.contains("pick") ? choiceFrom(r["pick"]) : LookupChoice::cancel());
    bool chosen = false;
    try {
        chosen = code ? code->OpenLookup() : coin->OpenLookup();
    } catch (...) {
        if (presenter.shownCount() == shownBefore) presenter.dropFront();
        throw;
    }
    // The box did not show a lookup (its StartLookup refused, the statement failed): the
    // pick given for it must not answer a later one.
    if (presenter.shownCount() == shownBefore) presenter.dropFront();
    reply["chosen"] = chosen;
    reply["text"] = c.Text();
    if (presenter.shownCount() > shownBefore) reply["lookup"] = lookupJson(presenter.shown().back());
    else reply["lookup"] = nullptr;
    if (!chosen) {
        if (code && !code->lastError().empty()) reply["lastError"] = code->lastError();
        if (coin && !coin->lastError().empty()) reply["lastError"] = coin->lastError();
    }
    return reply;
}

json AutomationDriver::cmdQueueLookup(const json& r) {
    auto& presenter = windows_.lookupPresenter();
    if (flag(r, "clear", false)) presenter.clear();
    if (auto it = r.find("picks"); it != r.end()) {
        if (!it->is_array()) throw RequestError("\"picks\" deve essere un array");
        for (const auto& p : *it) presenter.push(choiceFrom(p));
    } else if (r.contains("pick")) {
        presenter.push(choiceFrom(r["pick"]));
    }
    return {{"pending", presenter.pending()}};
}

json AutomationDriver::cmdLastLookup(const json&) {
    auto& presenter = windows_.lookupPresenter();
    if (presenter.shownCount() == 0) return {{"lookup", nullptr}};
    return {{"lookup", lookupJson(presenter.shown().back())}};
}

json AutomationDriver::cmdGridClick(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    auto* grid = dynamic_cast<kit::QueryGrid*>(&c);
    if (!grid) throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + ", non una griglia");
    long row = static_cast<long>(requireInteger(r, "row"));
    if (row < 0 || row >= grid->rowCount())
        throw RequestError("la griglia " + c.name() + " ha " + std::to_string(grid->rowCount()) + " righe; la riga " +
                           std::to_string(row) + " non esiste");
    json reply = {{"window", form.name()}, {"control", c.name()}};
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["moved"] = false;
        return reply;
    }
    reply["moved"] = grid->clickRow(row);
    reply["currentRow"] = grid->currentRow();
    if (windows_.isOpen(&form)) reply["focused"] = focusName(form);
    return reply;
}

json AutomationDriver::cmdNavButton(const json& r) {
    kit::Form& form = windowOf(r);
    kit::Control& c = controlOf(form, r);
    auto* nav = dynamic_cast<kit::GridNavigator*>(&c);
    if (!nav) throw RequestError("il controllo " + c.name() + " è un " + c.typeName() + ", non un navigatore di griglia");
    std::string button = requireString(r, "button");
    json reply = {{"window", form.name()}, {"control", c.name()}, {"button", button}};
    if (flag(r, "focus", true) && !focusFor(c, reply)) {
        reply["pressed"] = false;
        return reply;
    }
    reply["pressed"] = nav->press(button);
    return reply;
}

json AutomationDriver::cmdFrame(const json& r) {
    kit::Form& form = windowOf(r);
    kit::RecordFrame* frame = nullptr;
    if (r.contains("control")) {
        kit::Control& c = controlOf(form, r);
        if (auto* g = dynamic_cast<kit::QueryGrid*>(&c)) frame = g->attachedFrame();
        else if (auto* n = dynamic_cast<kit::GridNavigator*>(&c)) frame = n->Frame();
        else throw RequestError("il controllo " + c.name() + " non è né una griglia né un navigatore di griglia");
    } else {
        for (const auto& c : form.controls()) {
            if (auto* g = dynamic_cast<kit::QueryGrid*>(c.get()); g && g->attachedFrame()) frame = g->attachedFrame();
            else if (auto* n = dynamic_cast<kit::GridNavigator*>(c.get()); n && n->Frame()) frame = n->Frame();
            if (frame) break;
        }
    }
    if (!frame) throw RequestError("la finestra " + form.name() + " non ha un record frame");
    std::string action = requireString(r, "action");
    bool done = false;
    if (action == "save") done = frame->Save();
    else if (action == "delete") done = frame->Delete();
    else if (action == "undo") done = frame->Undo();
    else if (action == "new") done = frame->AddNew();
    else throw RequestError("azione del frame sconosciuta " + action + " (save, delete, undo, new)");
    json reply = {{"window", form.name()}, {"frame", frame->name()}, {"action", action}, {"done", done}};
    if (windows_.isOpen(&form)) {
        reply["status"] = frame->Status();
        reply["changed"] = frame->isChanged();
    }
    return reply;
}

json AutomationDriver::cmdClose(const json& r) {
    kit::Form& form = windowOf(r);
    int mode = r.contains("mode") ? static_cast<int>(requireInteger(r, "mode")) : 0;
    std::string name = form.name();
    bool closed = form.close(mode);
    json reply = {{"window", name}, {"closed", closed}};
    if (!closed) reply["reason"] = "la finestra ha rifiutato la chiusura (QueryUnload)";
    return reply;
}

json AutomationDriver::cmdAnswer(const json& r) {
    if (flag(r, "clear", false)) dialogs_->clearAnswers();
    if (auto it = r.find("answers"); it != r.end()) {
        if (!it->is_array()) throw RequestError("\"answers\" deve essere un array di numeri");
        for (const auto& a : *it) {
            if (!a.is_number_integer()) throw RequestError("ogni risposta deve essere un numero intero");
            dialogs_->pushAnswer(a.get<int>());
        }
    } else if (r.contains("answer")) {
        dialogs_->pushAnswer(static_cast<int>(requireInteger(r, "answer")));
    }
    return {{"pending", dialogs_->pendingAnswers()}};
}

json AutomationDriver::cmdEvents(const json&) {
    json list = json::array();
    for (auto& e : events_->take()) list.push_back(std::move(e));
    return {{"events", list}};
}

// ---------------------------------------------------------------- reports

json AutomationDriver::cmdReportOutput(const json& r) {
    auto it = r.find("pdf");
    if (it != r.end() && it->is_null()) {
        host_.reports->pdfFile.clear();
    } else if (it != r.end() && it->is_string() && !it->get<std::string>().empty()) {
        host_.reports->pdfFile = it->get<std::string>();
    } else {
        throw RequestError("\"pdf\" deve essere un percorso di file o null");
    }
    const auto& file = host_.reports->pdfFile;
    return {{"pdf", file.empty() ? json(nullptr) : json(file.string())}};
}

}  // namespace standalone
