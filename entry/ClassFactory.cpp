#include "entry/ClassFactory.h"

#include <atomic>
#include <functional>
#include <map>

#include "entry/CorrelationEntryClass.h"
#include "entry/ModuleObjects.h"
#include "gridedit/CLSCG_GRIDEDIT.h"
#include "gridedit/CLSCG_LOOKUPCONTROL.h"

namespace entry {

namespace {

using Maker = std::function<std::shared_ptr<db::Object>()>;

const std::vector<std::pair<std::string, Maker>>& registry() {
    static const std::vector<std::pair<std::string, Maker>> classes = {
        {"Brevanto.CLSCG_CORRRICLCOGE", [] { return std::make_shared<CLSCG_CORRRICLCOGE>(); }},
        {"Brevanto.CLSCG_CORRRICLCOIN", [] { return std::make_shared<CLSCG_CORRRICLCOIN>(); }},
        {"Brevanto.CLSCG_CORRRICLHYPE", [] { return std::make_shared<CLSCG_CORRRICLHYPE>(); }},
        {"Brevanto.CLSCG_CORRRICLCONS", [] { return std::make_shared<CLSCG_CORRRICLCONS>(); }},
        {"Brevanto.CLSCG_GRIDEDIT", [] { return std::make_shared<gridedit::CLSCG_GRIDEDIT>(); }},
        {"Brevanto.CLSCG_LOOKUPCONTROL", [] { return std::make_shared<gridedit::CLSCG_LOOKUPCONTROL>(); }},
    };
    return classes;
}

std::atomic<bool> registered{false};

}  // namespace

const std::vector<std::string>& programmaticNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& [name, maker] : registry()) n.push_back(name);
        return n;
    }();
    return names;
}

std::shared_ptr<db::Object> createClass(const std::string& progId) {
    for (const auto& [name, maker] : registry())
        if (name == progId) return maker();
    return nullptr;
}

}  // namespace entry

extern "C" {

int DllRegisterServer() {
    entry::registered = true;
    return entry::kOk;
}

int DllUnregisterServer() {
    entry::registered = false;
    return entry::kOk;
}

int BrevantoIsRegistered() { return entry::registered ? 1 : 0; }

int DllGetClassObject(const char* progId, std::shared_ptr<db::Object>* out) {
    if (!progId || !out) return entry::kInvalidArgument;
    try {
        auto object = entry::createClass(progId);
        if (!object) return entry::kClassNotAvailable;
        *out = std::move(object);
        return entry::kOk;
    } catch (const std::exception&) {
        return entry::kCreationFailed;
    }
}

int DllCanUnloadNow() { return entry::liveObjectCount() == 0 ? entry::kOk : entry::kFalse; }

void BrevantoSetWindowSystem(kit::WindowSystem* windowSystem) { entry::setWindowSystem(windowSystem); }

}
