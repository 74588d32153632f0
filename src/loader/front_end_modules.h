// The windowed front ends of `setup`, each a shared module beside the
// program, loaded when the run needs a window: GTK 3 first, then GTK 2. A
// module whose libraries are missing, or that cannot open the display, is
// passed over; when none starts the console takes over (RunProgram decides).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "wizard/program.h"

namespace loader {

// A module the program may load: its file, and the --ui name that forces it.
struct FrontEndModule {
    wizard::UiChoice choice;
    const char* file;   // "setup-gtk3.so"
    const char* title;  // "GTK 3", for messages
};

// The modules in the order they are tried.
const std::vector<FrontEndModule>& FrontEndModules();

// The folders a module is looked for in, first to last: the program's own
// folder (the build tree, or a folder copied whole), then the installed
// layout's library folder relative to the program's.
std::vector<std::string> ModuleFolders();

class ModuleFrontEnds final : public wizard::WindowedFrontEnd {
  public:
    bool Open(int* argc, char*** argv, const wizard::FrontEndRequest& request,
              std::string& reason) override;
    int Run(const std::function<int(wizard::Toolkit&)>& wizard) override;

  private:
    // The front end of `module`, or null with the loader's reason.
    std::unique_ptr<wizard::WindowedFrontEnd> Load(const FrontEndModule& module,
                                                   std::string& reason);

    std::unique_ptr<wizard::WindowedFrontEnd> opened_;
};

}  // namespace loader
