// The pages' controls, positions and operations, on the fake toolkit.
#include "wizard/wizard_pages.h"

#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "l10n/localization.h"
#include "support/sandbox.h"

namespace {

using testing_support::u16;
using testing_support::utf8;
using wizard_test::FakeControl;
using wizard_test::FakeToolkit;
using wizard_test::Kind;

class PagesTest : public ::testing::Test {
  protected:
    PagesTest() {
        SetCurrentLanguage(FindLanguage(stdx::string8("en")));
        window = fake.CreateWindow(500, 360, "t", nullptr);
        container = fake.CreateContainer(window);
        picture = fake.LoadSidePicture();
    }
    static FakeControl* C(wizard::Handle h) { return static_cast<FakeControl*>(h); }
    void ExpectAt(wizard::Handle h, Kind kind, int x, int y) {
        EXPECT_EQ(C(h)->kind, kind);
        EXPECT_EQ(C(h)->rect.x, x);
        EXPECT_EQ(C(h)->rect.y, y);
        EXPECT_EQ(C(h)->parent, C(container));
    }

    FakeToolkit fake;
    wizard::Handle window;
    wizard::Handle container;
    wizard::Handle picture;
};

TEST_F(PagesTest, MessagePageHasPictureAndText) {
    MessagePage page(fake, container, picture, u"Hello");
    ASSERT_EQ(page.Controls().size(), 2u);
    ExpectAt(page.Controls()[0], Kind::kPicture, 0, 0);
    ExpectAt(page.Controls()[1], Kind::kMultilineText, 170, 10);
    EXPECT_EQ(C(page.Controls()[1])->text, "Hello");
    page.SetText(u"Again");
    EXPECT_EQ(C(page.Controls()[1])->text, "Again");
}

TEST_F(PagesTest, SuccessPageBoxStartsCheckedAndIsRead) {
    SuccessFinalPage page(fake, container, picture, u"Done");
    ASSERT_EQ(page.Controls().size(), 3u);
    FakeControl* box = C(page.Controls()[2]);
    ExpectAt(box, Kind::kCheckBox, 170, 170);
    EXPECT_EQ(box->text, "Open description of distribution package");
    EXPECT_TRUE(page.IsOpenChecked());
    box->checked = false;
    EXPECT_FALSE(page.IsOpenChecked());
}

TEST_F(PagesTest, DirectoryPageControlsInOrder) {
    DirSelectPage page(fake, container, picture, window);
    ASSERT_EQ(page.Controls().size(), 5u);
    ExpectAt(page.Controls()[0], Kind::kPicture, 0, 0);
    ExpectAt(page.Controls()[1], Kind::kMultilineText, 170, 10);
    EXPECT_EQ(C(page.Controls()[1])->text, utf8(GetLocalizedString("IDS_DESTINATION_PROMPT")));
    ExpectAt(page.Controls()[2], Kind::kLabel, 170, 255);
    EXPECT_EQ(C(page.Controls()[2])->text, "Template directory:");
    ExpectAt(page.Controls()[3], Kind::kEntry, 170, 275);
    EXPECT_EQ(C(page.Controls()[3])->rect.width, 280);
    EXPECT_EQ(C(page.Controls()[3])->rect.height, 30);
    EXPECT_EQ(C(page.Controls()[3])->text, "");
    ExpectAt(page.Controls()[4], Kind::kButton, 460, 275);
    EXPECT_EQ(C(page.Controls()[4])->text, "...");
    EXPECT_EQ(C(page.Controls()[4])->command, wizard::Command::kBrowse);
    // Keyboard and screen reader: Return in the entry is Next, the caption
    // labels the entry, the "..." button has a spoken name.
    EXPECT_TRUE(C(page.Controls()[3])->hasEntryCommand);
    EXPECT_EQ(C(page.Controls()[3])->entryCommand, wizard::Command::kNext);
    EXPECT_EQ(C(page.Controls()[2])->labelFor, C(page.Controls()[3]));
    EXPECT_EQ(C(page.Controls()[4])->accessibleName, "Browse");
}

TEST_F(PagesTest, DirectoryPathGoesInAndOutUntouched) {
    DirSelectPage page(fake, container, picture, window);
    page.SetPath(u"/data/t/");
    EXPECT_EQ(utf8(page.GetPath()), "/data/t/");
    C(page.Controls()[3])->text = "  C:\\x\\ ";
    EXPECT_EQ(utf8(page.GetPath()), "  C:\\x\\ ");
}

TEST_F(PagesTest, CancelledChooserLeavesEvenAnEmptyEntry) {
    DirSelectPage page(fake, container, picture, window);
    page.Browse();
    EXPECT_EQ(utf8(page.GetPath()), "");
    page.SetPath(u"/typed");
    page.Browse();
    EXPECT_EQ(utf8(page.GetPath()), "/typed");
    fake.chooserPick = "/chosen/dir";
    page.Browse();
    EXPECT_EQ(utf8(page.GetPath()), "/chosen/dir");
    EXPECT_EQ(fake.choosersOpened.size(), 3u);
}

TEST_F(PagesTest, ProgressLabelChangesOnlyAtExactlyHundred) {
    ProgressPage page(fake, container, 480);
    ASSERT_EQ(page.Controls().size(), 2u);
    FakeControl* label = C(page.Controls()[0]);
    FakeControl* bar = C(page.Controls()[1]);
    ExpectAt(label, Kind::kLabel, 10, 130);
    ExpectAt(bar, Kind::kProgressBar, 10, 150);
    EXPECT_EQ(label->labelFor, bar);
    EXPECT_EQ(bar->rect.width, 480);
    EXPECT_EQ(bar->rect.height, 20);
    EXPECT_EQ(label->text, "Files being copied...");
    EXPECT_EQ(bar->progress, 0);
    page.SetProgress(99);
    EXPECT_EQ(label->text, "Files being copied...");
    EXPECT_EQ(bar->progress, 99);
    page.SetProgress(100);
    EXPECT_EQ(label->text, "Copying complete...");
    EXPECT_EQ(bar->progress, 100);
    page.SetProgress(101);
    EXPECT_EQ(label->text, "Files being copied...");
    EXPECT_EQ(bar->progress, 100);
    page.SetProgress(-5);
    EXPECT_EQ(bar->progress, 0);
}

// The poll loop sets the progress on every event pass; a value the page
// already shows must not reach the toolkit again (each update re-measures
// the label and redraws the bar).
TEST_F(PagesTest, RepeatedProgressReachesTheToolkitOnlyWhenItChanges) {
    ProgressPage page(fake, container, 480);
    FakeControl* label = C(page.Controls()[0]);
    FakeControl* bar = C(page.Controls()[1]);
    const int labelUpdates = label->updates;
    const int barUpdates = bar->updates;
    page.SetProgress(0);  // shown since construction
    EXPECT_EQ(label->updates, labelUpdates);
    EXPECT_EQ(bar->updates, barUpdates);
    for (int pass = 0; pass < 5; ++pass) {
        page.SetProgress(40);
    }
    EXPECT_EQ(label->updates, labelUpdates + 1);
    EXPECT_EQ(bar->updates, barUpdates + 1);
    EXPECT_EQ(bar->progress, 40);
    // 101 and 100 show the same bar but not the same label.
    page.SetProgress(101);
    page.SetProgress(100);
    EXPECT_EQ(label->text, "Copying complete...");
    EXPECT_EQ(bar->progress, 100);
}

}  // namespace
