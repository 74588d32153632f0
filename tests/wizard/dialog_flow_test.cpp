// The wizard's page flow driven through the fake toolkit: every state with
// Back, Next, Cancel and Escape, the directory entry, the copy run into real
// directories, the outcome pages and Finish.
#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::Command;

class FlowTest : public WizardTest {
  protected:
    FlowTest() { MakeSmallKit(); }

    // Runs the dialog with `user` acting while the main loop runs.
    void RunWith(std::function<void(CInstallerDlg&)> user) {
        dialog = MakeDialog();
        fake.onMainLoop = [this, user] { user(*dialog); };
        dialog->Run();
    }
    FakeControl* Back() { return fake.ButtonFor(Command::kBack); }
    FakeControl* Next() { return fake.ButtonFor(Command::kNext); }
    FakeControl* CancelButton() { return fake.ButtonFor(Command::kCancel); }
    std::string Target() { return sandbox.at("target/"); }
    std::string Welcome() { return Text("IDS_WELCOME_TITLE") + " Templates (Example Ltd)."; }

    std::unique_ptr<CInstallerDlg> dialog;
};

// Boxes and the chooser get the dialog's language before the first box can
// appear (the start-up checks'), not the system locale's.
TEST_F(FlowTest, BoxAndChooserCaptionsComeFromTheDialogLanguage) {
    SetCurrentLanguage(FindLanguage(stdx::string8("de")));
    RunWith([](CInstallerDlg&) {});
    SetCurrentLanguage(FindLanguage(stdx::string8("en")));
    EXPECT_EQ(fake.dialogTextsSet, 1);
    EXPECT_STREQ(fake.dialogTexts.yes.c_str(), "&Ja");
    EXPECT_STREQ(fake.dialogTexts.no.c_str(), "&Nein");
    EXPECT_STREQ(fake.dialogTexts.ok.c_str(), "&OK");
    EXPECT_STREQ(fake.dialogTexts.chooserTitle.c_str(), "Verzeichnis auswählen");
}

// The welcome line follows the language's punctuation.
TEST_F(FlowTest, ChineseWelcomeLineUsesChinesePunctuation) {
    SetCurrentLanguage(FindLanguage(stdx::string8("zh")));
    RunWith([](CInstallerDlg&) {});
    const std::string page = fake.controls.empty() ? "" : fake.PageText();
    SetCurrentLanguage(FindLanguage(stdx::string8("en")));
    EXPECT_EQ(page, "欢迎使用产品安装程序 Templates（Example Ltd）。");
}

TEST_F(FlowTest, WelcomePageShowsTheProductAndCannotGoBack) {
    RunWith([this](CInstallerDlg& d) {
        EXPECT_EQ(d.GetPageState(), 1);
        EXPECT_EQ(fake.PageText(), Welcome());
        EXPECT_FALSE(Back()->enabled);
        EXPECT_FALSE(fake.Press(Command::kBack));
        EXPECT_EQ(d.GetPageState(), 1);
        EXPECT_TRUE(Next()->isDefault);
        EXPECT_EQ(Back()->text, "< Back");
        EXPECT_EQ(Next()->text, "Next >");
        EXPECT_EQ(CancelButton()->text, "Cancel");
    });
    EXPECT_EQ(fake.CountOf(Kind::kSeparator), 1);
}

TEST_F(FlowTest, MissingProductNamesReadAsPlaceholders) {
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"", u"", u""});
    writer.AddFile(u"a.cfg", kit::FileTimeFromUnix(1577836800), "a");
    std::string error;
    ASSERT_TRUE(writer.WriteKit(KitPath(), &error)) << error;
    RunWith([this](CInstallerDlg&) {
        EXPECT_EQ(fake.PageText(), Text("IDS_WELCOME_TITLE") + " <Product> (<Vendor>).");
    });
}

TEST_F(FlowTest, NextAndBackMoveBetweenWelcomeAndDirectory) {
    RunWith([this](CInstallerDlg& d) {
        ASSERT_TRUE(fake.Press(Command::kNext));
        EXPECT_EQ(d.GetPageState(), 2);
        EXPECT_TRUE(Back()->enabled);
        EXPECT_TRUE(Next()->enabled);
        EXPECT_EQ(fake.EntryText(), sandbox.at("home/.kelda/KV/kelda/tmplts/"));
        EXPECT_EQ(fake.PageText(), Text("IDS_DESTINATION_PROMPT"));
        fake.Type("/abandoned");
        ASSERT_TRUE(fake.Press(Command::kBack));
        EXPECT_EQ(d.GetPageState(), 1);
        EXPECT_FALSE(Back()->enabled);
        EXPECT_EQ(fake.PageText(), Welcome());
        EXPECT_EQ(fake.VisibleOf(Kind::kEntry), nullptr) << "directory page hidden";
        ASSERT_TRUE(fake.Press(Command::kNext));
        EXPECT_EQ(fake.EntryText(), sandbox.at("home/.kelda/KV/kelda/tmplts/"));
    });
    // Pages are made once and reused.
    EXPECT_EQ(fake.CountOf(Kind::kEntry), 1);
    EXPECT_EQ(fake.CountOf(Kind::kPicture), 2);
}

TEST_F(FlowTest, CancelOrEscapeAnsweredNoLeavesTheWizardAsItWas) {
    RunWith([this](CInstallerDlg& d) {
        fake.answers = {wizard::kAnswerNo, wizard::kAnswerNone};
        ASSERT_TRUE(fake.Press(Command::kCancel));
        fake.Escape();
        EXPECT_EQ(d.GetPageState(), 1);
        EXPECT_TRUE(fake.WindowOpen());
        ASSERT_TRUE(fake.Press(Command::kNext));
        fake.Type("/typed");
        fake.answers = {wizard::kAnswerNo, wizard::kAnswerNone};
        fake.Escape();
        ASSERT_TRUE(fake.Press(Command::kCancel));
        EXPECT_EQ(d.GetPageState(), 2);
        EXPECT_EQ(fake.EntryText(), "/typed");
        EXPECT_TRUE(fake.WindowOpen());
    });
    ASSERT_EQ(fake.boxes.size(), 4u);
    for (const BoxRecord& box : fake.boxes) {
        EXPECT_EQ(box.text, "Do you really want to cancel installation?");
        EXPECT_EQ(box.flags, 0x2000002u);
    }
}

TEST_F(FlowTest, EscapeAnsweredYesClosesFromTheWelcomePage) {
    RunWith([this](CInstallerDlg&) {
        fake.answers = {wizard::kAnswerYes};
        fake.Escape();
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_EQ(dialog->GetPageState(), 1);
    EXPECT_FALSE(Sandbox::exists(sandbox.at("home/.kelda")));
}

TEST_F(FlowTest, CancelAnsweredYesClosesFromTheDirectoryPage) {
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.answers = {wizard::kAnswerYes};
        fake.Press(Command::kCancel);
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
}

TEST_F(FlowTest, CloseControlClosesWithoutAQuestionOutsideCopying) {
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.CloseControl();
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(fake.boxes.empty());
}

// A box or the chooser runs a nested event loop in which the window's close
// control still arrives; the window must outlast them.
TEST_F(FlowTest, CloseControlIsRefusedWhileABoxOrTheChooserIsOpen) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.duringModal = [this] { fake.CloseControl(); };
        fake.answers = {wizard::kAnswerNo};
        fake.Press(Command::kCancel);
        EXPECT_TRUE(fake.WindowOpen());
        fake.duringModal = [this] { fake.CloseControl(); };
        fake.chooserPick = sandbox.at("chosen");
        fake.Press(Command::kBrowse);
        EXPECT_TRUE(fake.WindowOpen());
        EXPECT_EQ(fake.EntryText(), sandbox.at("chosen"));
        EXPECT_EQ(d.GetPageState(), 2);
        // With no box open the close control works again.
        fake.CloseControl();
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_EQ(fake.boxes.size(), 1u);
}

TEST_F(FlowTest, EmptyEntryIsRefusedAndASpaceIsNot) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type("");
        fake.Press(Command::kNext);
        EXPECT_EQ(d.GetPageState(), 2);
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].headline(), "Specify correct path to template directory.");
        EXPECT_EQ(fake.boxes[0].flags, 1u);
        // A lone space is a relative directory name: it is made absolute
        // against the working directory.
        char old[4096];
        ASSERT_NE(getcwd(old, sizeof old), nullptr);
        ASSERT_EQ(chdir(sandbox.path().c_str()), 0);
        fake.Type(" ");
        fake.Press(Command::kNext);
        ASSERT_EQ(chdir(old), 0);
        char real[4096];
        ASSERT_NE(realpath(sandbox.path().c_str(), real), nullptr);
        EXPECT_EQ(utf8(d.GetTargetDir()), std::string(real) + "/ ");
        EXPECT_EQ(d.GetPageState(), 4);
    });
    EXPECT_EQ(Sandbox::read(sandbox.at(" /a.cfg")), "alpha");
}

TEST_F(FlowTest, BackslashesInTheEntryBecomeSlashes) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        std::string typed = sandbox.path() + "\\win\\tmplts\\";
        fake.Type(typed);
        fake.Press(Command::kNext);
        EXPECT_EQ(utf8(d.GetTargetDir()), sandbox.at("win/tmplts/"));
    });
    EXPECT_EQ(Sandbox::read(sandbox.at("win/tmplts/sub/b.cfg")), "beta");
}

// "~/" names the home directory, in the copy and in the launcher file alike;
// no folder named "~" appears in the working directory.
TEST_F(FlowTest, TildeInTheEntryMeansTheHomeDirectory) {
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    sandbox.mkdirs("cwd");
    ASSERT_EQ(chdir(sandbox.at("cwd").c_str()), 0);
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type("~/my templates");
        fake.Press(Command::kNext);
        EXPECT_EQ(utf8(d.GetTargetDir()), sandbox.at("home/my templates"));
    });
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(Sandbox::read(sandbox.at("home/my templates/a.cfg")), "alpha");
    EXPECT_FALSE(Sandbox::exists(sandbox.at("cwd/~")));
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary),
              std::vector<std::string>{sandbox.at("home/my templates")});
}

TEST_F(FlowTest, BrowseFillsTheEntryThatNextInstallsInto) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Press(Command::kBrowse);  // cancelled: the proposal stays
        EXPECT_EQ(fake.EntryText(), sandbox.at("home/.kelda/KV/kelda/tmplts/"));
        fake.chooserPick = sandbox.at("chosen");
        fake.Press(Command::kBrowse);
        EXPECT_EQ(fake.EntryText(), sandbox.at("chosen"));
        fake.Press(Command::kNext);
        EXPECT_EQ(d.GetPageState(), 4);
    });
    EXPECT_EQ(Sandbox::read(sandbox.at("chosen/a.cfg")), "alpha");
}

TEST_F(FlowTest, SuccessfulCopyEndsOnTheSuccessPageAndRecordsTheDirectory) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        EXPECT_EQ(d.GetPageState(), 4);
        EXPECT_EQ(fake.PageText(), "Configuration installed successfully.");
        EXPECT_FALSE(Back()->visible);
        EXPECT_TRUE(Next()->visible);
        EXPECT_TRUE(Next()->enabled);
        EXPECT_EQ(Next()->text, "Finish");
        EXPECT_FALSE(CancelButton()->enabled);
        EXPECT_EQ(fake.VisibleOf(Kind::kProgressBar), nullptr);
        EXPECT_TRUE(fake.boxes.empty());
        // The launcher list holds the directory without its last slash.
        EXPECT_EQ(LauncherList(LauncherMode::kPrimary),
                  std::vector<std::string>{sandbox.at("target")});
    });
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "alpha");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/sub/b.cfg")), "beta");
    EXPECT_GE(fake.wakeups(), 1) << "the worker wakes the event pass";
}

TEST_F(FlowTest, FinishWithTheBoxCheckedOpensTheDescription) {
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.Type(sandbox.path() + "/target");  // no trailing slash: one is added
        fake.Press(Command::kNext);
        fake.Press(Command::kNext);
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{sandbox.at("target/docs/readme.txt")});
}

// Without a working opener the outcome step says so, naming the document,
// and stays without the choice; the next Finish closes without trying again.
TEST_F(FlowTest, FailedOpenerIsReportedOnTheSuccessPage) {
    host.openerWorks = false;
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        ASSERT_TRUE(fake.Press(Command::kNext));
        EXPECT_FALSE(fake.windowDestroyed);
        EXPECT_EQ(d.GetPageState(), 4);
        EXPECT_EQ(fake.PageText(), Text("IDS_SUCCESS_FINISH") +
                                       "\n\nThe description could not be opened: " +
                                       sandbox.at("target/docs/readme.txt"));
        EXPECT_EQ(fake.VisibleOf(Kind::kCheckBox), nullptr);
        ASSERT_TRUE(fake.Press(Command::kNext));
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{sandbox.at("target/docs/readme.txt")});
    EXPECT_TRUE(fake.boxes.empty());
}

// Return in the directory entry goes on as Next does, checks included.
TEST_F(FlowTest, ReturnInTheEntryActsAsNext) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type("");
        fake.ReturnInEntry();
        EXPECT_EQ(d.GetPageState(), 2);
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, Text("IDS_SETUP_EMPTYTARGET"));
        fake.Type(Target());
        fake.ReturnInEntry();
        EXPECT_EQ(d.GetPageState(), 4);
    });
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "alpha");
}

TEST_F(FlowTest, FinishWithTheBoxUncheckedOpensNothing) {
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        fake.VisibleOf(Kind::kCheckBox)->checked = false;
        fake.Press(Command::kNext);
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(host.openedDocuments.empty());
}

TEST_F(FlowTest, FinishOpensNothingWhenTheDescriptionIsMissing) {
    MakeKit({{"a.cfg", "alpha"}}, 1577836800, "docs\\absent.html");
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        fake.Press(Command::kNext);
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(host.openedDocuments.empty());
}

TEST_F(FlowTest, EmptyDescriptionOpensTheTemplateDirectoryItself) {
    MakeKit({{"a.cfg", "alpha"}}, 1577836800, "");
    RunWith([this](CInstallerDlg&) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        fake.Press(Command::kNext);
    });
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{Target()});
}

// Installs with a fresh toolkit and presses Finish on the success page;
// returns the documents that were opened.
std::vector<std::string> FinishOnce(FakeToolkit& user, FakeServices& host, CInstallerDlg& dialog,
                                    const std::string& target) {
    host.openedDocuments.clear();
    user.onMainLoop = [&user, &dialog, target] {
        user.Press(Command::kNext);
        user.Type(target);
        user.Press(Command::kNext);
        EXPECT_EQ(dialog.GetPageState(), 4);
        user.Press(Command::kNext);
    };
    dialog.Run();
    EXPECT_TRUE(user.windowDestroyed);
    return host.openedDocuments;
}

// A description naming something outside the template directory is not
// opened, even when that file exists.
TEST_F(FlowTest, DescriptionOutsideTheTemplateDirectoryIsNeverOpened) {
    sandbox.write("outside.desktop", "[Desktop Entry]");
    for (const std::string& description :
         {std::string("..\\outside.desktop"), std::string("docs/../../outside.desktop"),
          sandbox.at("outside.desktop"), std::string("\\") + sandbox.at("outside.desktop")}) {
        SCOPED_TRACE(description);
        MakeKit({{"a.cfg", "alpha"}}, 1577836800, description);
        FakeToolkit user;
        auto run = MakeDialogOn(user);
        EXPECT_TRUE(FinishOnce(user, host, *run, Target()).empty());
    }
}

TEST_F(FlowTest, GermanTextsOnTheSuccessAndErrorPages) {
    if (!ScopedLocaleEnv::Installed("de_DE.UTF-8")) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    ScopedLocaleEnv env("de_DE.UTF-8");
    stdx::select_environment_locale();
    SetCurrentLanguage(FindLanguage(stdx::string8("de")));
    const std::string failing = FailingTarget();
    for (bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "error page" : "success page");
        FakeToolkit user;
        auto run = MakeDialogOn(user);
        user.onMainLoop = [this, &user, fail, &failing] {
            user.Press(Command::kNext);
            user.Type(fail ? failing : Target());
            if (fail) {
                // The summary question: the kit would replace "a.cfg" there.
                user.answers = {wizard::kAnswerYes};
            }
            user.Press(Command::kNext);
            if (fail) {
                EXPECT_EQ(user.PageText(),
                          "Während der Installation ist ein Fehler aufgetreten. Die Installation "
                          "wurde abgebrochen. Das Vorlagenverzeichnis wurde nicht verändert.");
                EXPECT_EQ(user.boxes.back().headline(), "Installationsfehler");
                // The system's reason in the user's language as well.
                EXPECT_EQ(user.boxes.back().detail(),
                          sandbox.at("failing/a.cfg") + ": Ist ein Verzeichnis");
            } else {
                EXPECT_EQ(user.PageText(), "Die Konfiguration wurde erfolgreich installiert.");
                EXPECT_EQ(user.VisibleOf(Kind::kCheckBox)->text,
                          "Beschreibung des Distributionspakets öffnen");
            }
            EXPECT_EQ(user.ButtonFor(Command::kNext)->text, "Fertig");
        };
        run->Run();
    }
}

TEST_F(FlowTest, EscapeOnTheSuccessPageAsksAndNeverOpensTheDescription) {
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type(Target());
        fake.Press(Command::kNext);
        EXPECT_FALSE(fake.Press(Command::kCancel)) << "Cancel is disabled";
        fake.Escape();
        EXPECT_EQ(d.GetPageState(), 4);
        EXPECT_TRUE(fake.WindowOpen());
        fake.answers = {wizard::kAnswerYes};
        fake.Escape();
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(host.openedDocuments.empty());
    EXPECT_EQ(fake.boxes.size(), 2u);
}

// The directory page refuses what no run could use, and stays.
TEST_F(FlowTest, NextRefusesADirectoryThatCannotBeUsed) {
    sandbox.write("plainfile", "not a directory");
    RunWith([this](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        const char* keys[] = {"IDS_ERROR_NOTWRITABLE", "IDS_ERROR_NOTARGET"};
        const std::string dirs[] = {sandbox.at("plainfile/target/"), "."};
        for (int i = 0; i < 2; ++i) {
            fake.Type(dirs[i]);
            fake.Press(Command::kNext);
            EXPECT_EQ(d.GetPageState(), 2) << dirs[i];
            ASSERT_EQ(fake.boxes.size(), size_t(i + 1));
            EXPECT_EQ(fake.boxes[i].text, Text(keys[i]));
            EXPECT_EQ(fake.boxes[i].flags, 0x1000001u);
        }
        fake.answers = {wizard::kAnswerYes};
        fake.Press(Command::kCancel);
    });
    EXPECT_EQ(dialog->GetExitStatus(), wizard::kExitCancelled);
    EXPECT_FALSE(Sandbox::exists(sandbox.at("plainfile/target")));
}

TEST_F(FlowTest, FailedCopyShowsTheErrorBoxThenTheErrorPage) {
    const std::string failing = FailingTarget();
    RunWith([this, &failing](CInstallerDlg& d) {
        fake.Press(Command::kNext);
        fake.Type(failing);
        fake.Press(Command::kNext);
        EXPECT_EQ(d.GetPageState(), 5);
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].headline(), "Installation error");
        EXPECT_EQ(fake.boxes[0].flags, 0x1000001u);
        EXPECT_EQ(fake.PageText(), Text("IDS_ERROR_FINISH"));
        EXPECT_EQ(Next()->text, "Finish");
        EXPECT_FALSE(Back()->visible);
        EXPECT_FALSE(CancelButton()->enabled);
        EXPECT_FALSE(fake.Press(Command::kBack));
        fake.Press(Command::kNext);
    });
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(host.openedDocuments.empty());
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
}

}  // namespace
}  // namespace wizard_test
