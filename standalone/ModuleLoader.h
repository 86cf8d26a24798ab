#pragma once
// Loads the module libbrevanto.so the way a host loads a component: found through
// $BREVANTO_MODULE (the library file, or the folder that holds it) or next to the running
// executable, then asked for classes by programmatic name through DllGetClassObject.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/Variant.h"

namespace kit {
class WindowSystem;
}

namespace standalone {

// The library is missing or is not the module, or a name it does not offer.
class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModuleLoader {
public:
    static constexpr const char* kLibraryName = "libbrevanto.so";

    // Finds and loads the module. ModuleError naming the places looked at when it is not there.
    ModuleLoader();
    // Loads this library file.
    explicit ModuleLoader(const std::filesystem::path& library);
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Where the module is looked for, in order.
    static std::vector<std::filesystem::path> candidates();

    const std::filesystem::path& path() const { return path_; }
    // A new instance of the class `progId` ("Brevanto.CLSCG_CORRRICLCOGE" ...). ModuleError for
    // a name the module does not offer.
    std::shared_ptr<db::Object> createClass(const std::string& progId) const;
    // Hands the module the window system its windows are shown through.
    void setWindowSystem(kit::WindowSystem* windowSystem) const;
    int registerServer() const;
    int unregisterServer() const;
    // True when the module has no live object.
    bool canUnloadNow() const;

private:
    void load(const std::filesystem::path& library);
    void* symbol(const char* name) const;

    std::filesystem::path path_;
    void* handle_ = nullptr;
};

}  // namespace standalone
