// Loading the front-end modules. A module stays loaded once dlopen has
// succeeded, even when its display cannot be opened: a toolkit that has
// registered its types cannot be unloaded safely. For the same reason no
// second toolkit is tried after one has loaded: GTK 2 and GTK 3 abort when
// both are in one process, and a display GTK 3 cannot open GTK 2 cannot
// open either.
#include "loader/front_end_modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include "loader/module_entry.h"
#include "platform/executable_path.h"

namespace loader {

namespace {

std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

const std::vector<FrontEndModule>& FrontEndModules() {
    static const std::vector<FrontEndModule> modules = {
        {wizard::UiChoice::kGtk3, "setup-gtk3.so", "GTK 3"},
        {wizard::UiChoice::kGtk2, "setup-gtk2.so", "GTK 2"},
    };
    return modules;
}

std::vector<std::string> ModuleFolders() {
    const stdx::string8 executable = platform::ExecutablePath();
    if (executable.empty()) {
        return {};
    }
    const std::string own = Folder(executable.c_str());
    return {own, own + "/" SETUP_MODULE_DIR};
}

std::unique_ptr<wizard::WindowedFrontEnd> ModuleFrontEnds::Load(const FrontEndModule& module,
                                                                std::string& reason) {
    std::string path;
    for (const std::string& folder : ModuleFolders()) {
        if (::access((folder + "/" + module.file).c_str(), F_OK) == 0) {
            path = folder + "/" + module.file;
            break;
        }
    }
    if (path.empty()) {
        reason = std::string(module.file) + " is not installed beside the program";
        return nullptr;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        reason = error != nullptr ? error : "cannot load " + path;
        return nullptr;
    }
    auto factory = reinterpret_cast<FrontEndFactory>(dlsym(handle, kFrontEndEntry));
    if (factory == nullptr) {
        reason = path + " is no front-end module of this program";
        return nullptr;
    }
    std::unique_ptr<wizard::WindowedFrontEnd> frontEnd(factory(kFrontEndInterfaceVersion));
    if (frontEnd == nullptr) {
        reason = path + " was built for another version of this program";
    }
    return frontEnd;
}

bool ModuleFrontEnds::Open(int* argc, char*** argv, const wizard::FrontEndRequest& request,
                           std::string& reason) {
    std::string reasons;
    bool toolkitLoaded = false;
    for (const FrontEndModule& module : FrontEndModules()) {
        if (request.ui != wizard::UiChoice::kAny && request.ui != module.choice) {
            continue;
        }
        std::string why;
        if (toolkitLoaded) {
            why = "not tried: another toolkit is already loaded";
        } else if (std::unique_ptr<wizard::WindowedFrontEnd> frontEnd = Load(module, why)) {
            toolkitLoaded = true;
            if (frontEnd->Open(argc, argv, request, why)) {
                opened_ = std::move(frontEnd);
                return true;
            }
            // Still loaded: see the top of this file. The object goes, the
            // code stays.
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(module.title) + ": " + why;
    }
    reason = reasons.empty() ? "no windowed front end was asked for" : reasons;
    return false;
}

int ModuleFrontEnds::Run(const std::function<int(wizard::Toolkit&)>& wizard) {
    return opened_ != nullptr ? opened_->Run(wizard) : 0;
}

}  // namespace loader
