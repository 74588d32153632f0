// Process entry of setup-mac: the shared start-up with Cocoa as its windowed
// front end and the language fallback taken from NSLocale.
#include "cocoa/cocoa_toolkit.h"
#include "cocoa/locale_source.h"
#include "wizard/program.h"

namespace {

class CocoaFrontEnd final : public wizard::WindowedFrontEnd {
  public:
    LocaleNameSource LocaleSource() const override { return cocoa::CurrentLocaleName; }
    // The window server is there whenever the program runs in a session;
    // Cocoa is this program's only windowed front end.
    bool Open(int* /*argc*/, char*** /*argv*/, const wizard::FrontEndRequest& request,
              std::string& reason) override {
        if (request.ui != wizard::UiChoice::kAny) {
            reason = "this program has only the Cocoa front end";
            return false;
        }
        return true;
    }
    int Run(const std::function<int(wizard::Toolkit&)>& wizard) override {
        cocoa::CocoaToolkit toolkit;
        return wizard(toolkit);
    }
};

}  // namespace

int main(int argc, char** argv) {
    CocoaFrontEnd frontEnd;
    return wizard::RunProgram(argc, argv, &frontEnd);
}
