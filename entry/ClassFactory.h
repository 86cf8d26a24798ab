#pragma once
// The module's class factory by programmatic name, and the component entry points a host
// finds with dlsym in libbrevanto.so. The C entry points hold no logic of the module beyond
// registration bookkeeping.

#include <memory>
#include <string>
#include <vector>

#include "db/Variant.h"

namespace kit {
class WindowSystem;
}

namespace entry {

// Results of the entry points (component conventions: 0 success).
inline constexpr int kOk = 0;
inline constexpr int kFalse = 1;                  // DllCanUnloadNow: objects still alive
inline constexpr int kClassNotAvailable = -2147221231;   // unknown programmatic name
inline constexpr int kInvalidArgument = -2147024809;     // null name or output
inline constexpr int kCreationFailed = -2147467259;      // the class's constructor failed

// "Brevanto.CLSCG_CORRRICLCOGE" ... in a stable order.
const std::vector<std::string>& programmaticNames();
// A new instance; nullptr for an unknown name.
std::shared_ptr<db::Object> createClass(const std::string& progId);

}  // namespace entry

extern "C" {
int DllRegisterServer();
int DllUnregisterServer();
// Creates the class named `progId` into *out. kClassNotAvailable for an unknown name.
int DllGetClassObject(const char* progId, std::shared_ptr<db::Object>* out);
// kOk when no object of the module is alive (and the host may unload it), kFalse otherwise.
int DllCanUnloadNow();
// The window system the module's windows are shown through (nullptr: none).
void BrevantoSetWindowSystem(kit::WindowSystem* windowSystem);
// Whether DllRegisterServer ran more recently than DllUnregisterServer.
int BrevantoIsRegistered();
}
