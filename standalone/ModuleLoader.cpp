#include "standalone/ModuleLoader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace standalone {

namespace {

using GetClassObject = int (*)(const char*, std::shared_ptr<db::Object>*);
using NoArguments = int (*)();
using SetWindowSystem = void (*)(kit::WindowSystem*);

std::filesystem::path executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

std::vector<std::filesystem::path> ModuleLoader::candidates() {
    std::vector<std::filesystem::path> places;
    if (const char* env = std::getenv("BREVANTO_MODULE"); env && *env) {
        std::filesystem::path p(env);
        std::error_code ec;
        places.push_back(std::filesystem::is_directory(p, ec) ? p / kLibraryName : p);
    }
    auto folder = executableFolder();
    if (!folder.empty()) places.push_back(folder / kLibraryName);
    return places;
}

ModuleLoader::ModuleLoader() {
    std::string looked;
    for (const auto& p : candidates()) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec)) {
            load(p);
            return;
        }
        looked += (looked.empty() ? "" : ", ") + p.string();
    }
    throw ModuleError("modulo " + std::string(kLibraryName) + " non trovato (cercato in: " +
                      (looked.empty() ? std::string("nessun percorso") : looked) +
                      "); impostare BREVANTO_MODULE sul file o sulla cartella del modulo");
}

ModuleLoader::ModuleLoader(const std::filesystem::path& library) { load(library); }

ModuleLoader::~ModuleLoader() {
    // The library stays mapped: objects it created may outlive the loader, and their code
    // lives in it.
}

void ModuleLoader::load(const std::filesystem::path& library) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(library, ec))
        throw ModuleError("modulo non trovato: " + library.string());
    dlerror();
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle_) {
        const char* why = dlerror();
        throw ModuleError("impossibile caricare il modulo " + library.string() + ": " + (why ? why : "motivo sconosciuto"));
    }
    path_ = library;
    for (const char* required : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
        symbol(required);
}

void* ModuleLoader::symbol(const char* name) const {
    dlerror();
    void* s = dlsym(handle_, name);
    if (!s) throw ModuleError("la libreria " + path_.string() + " non è il modulo: manca " + name);
    return s;
}

std::shared_ptr<db::Object> ModuleLoader::createClass(const std::string& progId) const {
    auto get = reinterpret_cast<GetClassObject>(symbol("DllGetClassObject"));
    std::shared_ptr<db::Object> object;
    const int rc = get(progId.c_str(), &object);
    if (rc != 0 || !object)
        throw ModuleError("il modulo non offre la classe '" + progId + "' (codice " + std::to_string(rc) + ")");
    return object;
}

void ModuleLoader::setWindowSystem(kit::WindowSystem* windowSystem) const {
    reinterpret_cast<SetWindowSystem>(symbol("BrevantoSetWindowSystem"))(windowSystem);
}

int ModuleLoader::registerServer() const { return reinterpret_cast<NoArguments>(symbol("DllRegisterServer"))(); }
int ModuleLoader::unregisterServer() const { return reinterpret_cast<NoArguments>(symbol("DllUnregisterServer"))(); }
bool ModuleLoader::canUnloadNow() const { return reinterpret_cast<NoArguments>(symbol("DllCanUnloadNow"))() == 0; }

}  // namespace standalone
