// Shared set-up of the dialog tests: a sandbox holding the user's home, the
// temporary directory and a real kit beside a pretend executable; English
// texts; the fake toolkit and the recorded system services.
#pragma once
#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fake_services.h"
#include "fake_toolkit.h"
#include "kit/kit_writer.h"
#include "l10n/localization.h"
#include "launcher/launcher_config.h"
#include "launcher/launcher_paths.h"
#include "support/locale_environment.h"
#include "support/sandbox.h"
#include "text/string_util.h"
#include "wizard/installer_dlg.h"
#include "wizard/windowed_steps.h"

namespace wizard_test {

using testing_support::Sandbox;
using testing_support::u16;
using testing_support::utf8;

inline std::string Text(const char* key) {
    return utf8(GetLocalizedString(key));
}

// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
            return;
        }
        unsetenv(name_);
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// The start-up code under test selects the locale itself.
class ScopedLocaleEnv : public testing_support::ScopedLocaleEnvironment {
  public:
    explicit ScopedLocaleEnv(const char* lang)
        : ScopedLocaleEnvironment(lang, testing_support::LocaleSelection::kLeftToCodeUnderTest) {}
};

class WizardTest : public ::testing::Test {
  protected:
    WizardTest() : home_("HOME", sandbox.at("home")), tmp_("TMPDIR", sandbox.at("tmp")) {
        sandbox.mkdirs("home");
        sandbox.mkdirs("tmp");
        sandbox.mkdirs("kit");
        SetCurrentLanguage(FindLanguage(stdx::string8("en")));
        host.executablePath = sandbox.at("kit/setup");
        // The question before replacing files has tests of its own.
        fake.passBoxPrefix = Text("IDS_SETUP_EXISTEDTARGET");
    }

    // A kit at kit/kelda.efd with the given files ("a\\b.txt" names) made at
    // `time` (seconds since 1970).
    void MakeKit(const std::vector<std::pair<std::string, std::string>>& files,
                 int64_t time = 1577836800, const std::string& description = "docs\\readme.txt") {
        kit::KitWriter writer;
        writer.SetCompressionLevel(1);
        writer.AddProduct({u"en", u"Templates", u"Example Ltd", u16(description)});
        for (const auto& file : files) {
            writer.AddFile(u16(file.first), kit::FileTimeFromUnix(time), file.second);
        }
        std::string error;
        ASSERT_TRUE(writer.WriteKit(KitPath(), &error)) << error;
    }
    // A small kit with a description document.
    void MakeSmallKit() {
        MakeKit({{"docs\\readme.txt", "read me"}, {"a.cfg", "alpha"}, {"sub\\b.cfg", "beta"}});
    }
    std::string KitPath() const { return sandbox.at("kit/kelda.efd"); }
    // A template directory the copy fails in: an older directory stands
    // where the small kit has the file a.cfg. The directory passes the
    // checks of the directory page; the run fails and rolls back.
    std::string FailingTarget() {
        sandbox.mkdirs("failing/a.cfg");
        struct utimbuf old = {946684800, 946684800};  // 2000-01-01
        utime(sandbox.at("failing/a.cfg").c_str(), &old);
        return sandbox.at("failing/");
    }

    std::unique_ptr<CInstallerDlg> MakeDialog(bool autoStart = false, bool useCwd = false) {
        return MakeDialogOn(fake, autoStart, useCwd);
    }
    // The same on another toolkit, for tests that run the wizard twice.
    std::unique_ptr<CInstallerDlg> MakeDialogOn(FakeToolkit& toolkit, bool autoStart = false,
                                                bool useCwd = false) {
        toolkit.passBoxPrefix = fake.passBoxPrefix;
        windows_.push_back(std::make_unique<wizard::WindowedSteps>(toolkit, &argc_, &argvp_));
        return std::make_unique<CInstallerDlg>(*windows_.back(), host,
                                               Options(autoStart, useCwd));
    }
    static SessionOptions Options(bool autoStart = false, bool useCwd = false,
                                  bool dryRun = false) {
        SessionOptions options;
        options.autoStart = autoStart;
        options.useCwd = useCwd;
        options.dryRun = dryRun;
        options.title = stdx::string8("Installing configuration");
        options.language = stdx::string16(u"en");
        return options;
    }

    // The list of the launcher file of `mode`, and whether the file exists.
    static bool LauncherFileExists(LauncherMode mode) {
        return Sandbox::exists(utf8(LauncherConfig::MainFile(mode)));
    }
    static std::vector<std::string> LauncherList(LauncherMode mode) {
        std::vector<std::string> out;
        for (const auto& dir : LauncherConfig::ReadTemplateDirs(mode)) {
            out.push_back(utf8(dir));
        }
        return out;
    }
    static void WriteLauncher(LauncherMode mode, const std::vector<std::string>& dirs) {
        std::vector<stdx::string16> list;
        for (const auto& d : dirs) {
            list.push_back(u16(d));
        }
        LauncherConfig::WriteTemplateDirs(list, mode);
    }

    Sandbox sandbox;
    FakeToolkit fake;
    FakeServices host;

  private:
    ScopedEnv home_;
    ScopedEnv tmp_;
    char arg0_[6] = "setup";
    char* argv_[2] = {arg0_, nullptr};
    int argc_ = 1;
    char** argvp_ = argv_;
    std::vector<std::unique_ptr<wizard::WindowedSteps>> windows_;
};

}  // namespace wizard_test
