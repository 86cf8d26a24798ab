#pragma once
// The driver's entry classes from the module library: loaded on the first request (so the
// driver answers other requests without it), created by programmatic name through the
// module's class factory, with the driver's window system handed to the module.

#include <filesystem>
#include <memory>
#include <optional>

#include "standalone/ModuleLoader.h"
#include "standalone/automation/AutomationDriver.h"

namespace standalone {

class ModuleClasses : public ClassSource {
public:
    // An empty path: found the ModuleLoader's way ($BREVANTO_MODULE, next to the program).
    explicit ModuleClasses(std::filesystem::path library = {}) : library_(std::move(library)) {}
    ~ModuleClasses() override;

    // ModuleError when the library is missing, is not the module, or lacks the class; a
    // std::runtime_error when the object it makes is not an entry class (no Cinterface).
    std::shared_ptr<host::Cinterface> create(const std::string& progId, kit::WindowSystem& windows) override;

private:
    std::filesystem::path library_;
    std::unique_ptr<ModuleLoader> loader_;
    kit::WindowSystem* handedOver_ = nullptr;
};

}  // namespace standalone
