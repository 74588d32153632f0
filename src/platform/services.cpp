// The services of the system the program runs on.
#include "platform/services.h"

#include "platform/desktop.h"

namespace platform {

namespace {

class Native final : public Services {
  public:
    stdx::string8 ExecutablePath() override { return platform::ExecutablePath(); }
    ExecutableLayout Layout() override { return ProgramLayout(); }
    bool OpenDocument(const char* path) override {
        const pid_t opener = SpawnOpener(path);
        return opener > 0 && OpenerSucceeded(opener);
    }
};

}  // namespace

Services& NativeServices() {
    static Native native;
    return native;
}

}  // namespace platform
