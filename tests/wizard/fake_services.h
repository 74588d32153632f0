// System services for the dialog's unit tests: the executable "lies" where
// the test says, so the kit can sit in a sandbox, and documents are recorded
// instead of opened.
#pragma once
#include <string>
#include <vector>

#include "platform/services.h"

namespace wizard_test {

class FakeServices : public platform::Services {
  public:
    std::string executablePath;
    platform::ExecutableLayout layout = platform::ExecutableLayout::kPlainDirectory;
    std::vector<std::string> openedDocuments;
    // What OpenDocument answers: false plays a desktop without an opener.
    bool openerWorks = true;

    stdx::string8 ExecutablePath() override { return stdx::string8(executablePath.c_str()); }
    platform::ExecutableLayout Layout() override { return layout; }
    bool OpenDocument(const char* path) override {
        openedDocuments.push_back(path);
        return openerWorks;
    }
};

}  // namespace wizard_test
