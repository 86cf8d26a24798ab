#include "standalone/automation/ModuleClasses.h"

#include <stdexcept>

namespace standalone {

ModuleClasses::~ModuleClasses() {
    // The window system ends with the driver; the module must not keep showing through it.
    if (loader_ && handedOver_) {
        try {
            loader_->setWindowSystem(nullptr);
        } catch (const std::exception&) {
            // A library without the hand-over entry point never received one.
        }
    }
}

std::shared_ptr<host::Cinterface> ModuleClasses::create(const std::string& progId, kit::WindowSystem& windows) {
    if (!loader_) loader_ = library_.empty() ? std::make_unique<ModuleLoader>() : std::make_unique<ModuleLoader>(library_);
    if (handedOver_ != &windows) {
        loader_->setWindowSystem(&windows);
        handedOver_ = &windows;
    }
    auto object = loader_->createClass(progId);
    auto entry = std::dynamic_pointer_cast<host::Cinterface>(object);
    if (!entry) throw std::runtime_error("la classe '" + progId + "' del modulo non è una classe di ingresso (Cinterface)");
    return entry;
}

}  // namespace standalone
