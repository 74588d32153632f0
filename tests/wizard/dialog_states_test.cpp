// The page-state table, row by row: every state met with Back, Next, the
// Cancel button, the Escape key and the close control, acting as the user
// does (a disabled or hidden button cannot be pressed). Then the dialog's
// own guards: Back and Next called in states whose buttons are off.
#include <ostream>

#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::Command;

enum class Act { kBack, kNext, kCancel, kEscape, kClose, kCallBack, kCallNext };

const char* ActName(Act act) {
    switch (act) {
        case Act::kBack:
            return "Back";
        case Act::kNext:
            return "Next";
        case Act::kCancel:
            return "Cancel";
        case Act::kEscape:
            return "Escape";
        case Act::kClose:
            return "Close";
        case Act::kCallBack:
            return "CallBack";
        case Act::kCallNext:
            return "CallNext";
    }
    return "?";
}

const char* AnswerName(int answer) {
    switch (answer) {
        case wizard::kAnswerYes:
            return "Yes";
        case wizard::kAnswerNo:
            return "No";
        case wizard::kAnswerNone:
            return "Dismissed";
    }
    return "";
}

struct Row {
    int state;  // state the act meets
    Act act;
    int answer;      // answer to a question, if one is asked
    int stateAfter;  // right after the act
    bool openAfter;  // window still there right after the act
    int questions;   // cancel questions asked by the act
    int finalState;  // when the wizard's run is over
    bool opensDocument;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "state " << row.state << ", " << ActName(row.act) << " "
               << AnswerName(row.answer);
}

constexpr int kYes = wizard::kAnswerYes;
constexpr int kNo = wizard::kAnswerNo;
constexpr int kNone = wizard::kAnswerNone;

// clang-format off
const Row kRows[] = {
    // state act            answer after open  asks final doc
    {1, Act::kBack,     kNo,   1, true,  0, 1, false},  // Back disabled
    {1, Act::kCallBack, kNo,   1, true,  0, 1, false},
    {1, Act::kNext,     kNo,   2, true,  0, 2, false},
    {1, Act::kCancel,   kNo,   1, true,  1, 1, false},
    {1, Act::kCancel,   kYes,  1, false, 1, 1, false},
    {1, Act::kEscape,   kNone, 1, true,  1, 1, false},
    {1, Act::kEscape,   kYes,  1, false, 1, 1, false},
    {1, Act::kClose,    kNo,   1, false, 0, 1, false},

    {2, Act::kBack,     kNo,   1, true,  0, 1, false},
    {2, Act::kNext,     kNo,   4, true,  0, 4, false},  // into the proposal
    {2, Act::kCancel,   kNone, 2, true,  1, 2, false},
    {2, Act::kCancel,   kYes,  2, false, 1, 2, false},
    {2, Act::kEscape,   kNo,   2, true,  1, 2, false},
    {2, Act::kEscape,   kYes,  2, false, 1, 2, false},
    {2, Act::kClose,    kNo,   2, false, 0, 2, false},

    // While copying only the cancel question exists; the run decides the end.
    {3, Act::kBack,     kNo,   3, true,  0, 4, false},
    {3, Act::kCallBack, kNo,   3, true,  0, 4, false},
    {3, Act::kNext,     kNo,   3, true,  0, 4, false},
    {3, Act::kCallNext, kNo,   3, true,  0, 4, false},
    {3, Act::kCancel,   kNo,   3, true,  1, 4, false},
    {3, Act::kCancel,   kYes,  3, true,  1, 5, false},
    {3, Act::kEscape,   kNone, 3, true,  1, 4, false},
    {3, Act::kEscape,   kYes,  3, true,  1, 5, false},
    {3, Act::kClose,    kNo,   3, true,  1, 4, false},
    {3, Act::kClose,    kYes,  3, true,  1, 5, false},

    {4, Act::kBack,     kNo,   4, true,  0, 4, false},  // Back hidden
    {4, Act::kCallBack, kNo,   4, true,  0, 4, false},
    {4, Act::kNext,     kNo,   4, false, 0, 4, true},   // Finish, box checked
    {4, Act::kCancel,   kYes,  4, true,  0, 4, false},  // Cancel disabled
    {4, Act::kEscape,   kNo,   4, true,  1, 4, false},
    {4, Act::kEscape,   kYes,  4, false, 1, 4, false},  // never opens the document
    {4, Act::kClose,    kNo,   4, false, 0, 4, false},

    {5, Act::kBack,     kNo,   5, true,  0, 5, false},
    {5, Act::kCallBack, kNo,   5, true,  0, 5, false},
    {5, Act::kNext,     kNo,   5, false, 0, 5, false},  // Finish
    {5, Act::kCancel,   kYes,  5, true,  0, 5, false},
    {5, Act::kEscape,   kNone, 5, true,  1, 5, false},
    {5, Act::kEscape,   kYes,  5, false, 1, 5, false},
    {5, Act::kClose,    kNo,   5, false, 0, 5, false},
};
// clang-format on

class StateTableTest : public WizardTest, public ::testing::WithParamInterface<Row> {
  protected:
    StateTableTest() { MakeSmallKit(); }

    void Do(Act act) {
        switch (act) {
            case Act::kBack:
                fake.Press(Command::kBack);
                return;
            case Act::kNext:
                fake.Press(Command::kNext);
                return;
            case Act::kCancel:
                fake.Press(Command::kCancel);
                return;
            case Act::kEscape:
                fake.Escape();
                return;
            case Act::kClose:
                fake.CloseControl();
                return;
            case Act::kCallBack:
                dialog->OnBack();
                return;
            case Act::kCallNext:
                dialog->OnNext();
                return;
        }
    }

    // Acts on the row, then checks what the act alone did.
    void ActAndCheck(const Row& row) {
        ASSERT_EQ(dialog->GetPageState(), row.state);
        size_t boxesBefore = fake.boxes.size();
        fake.answers = {row.answer};
        Do(row.act);
        EXPECT_EQ(dialog->GetPageState(), row.stateAfter);
        EXPECT_EQ(fake.WindowOpen(), row.openAfter);
        EXPECT_EQ(static_cast<int>(fake.boxes.size() - boxesBefore), row.questions);
        for (size_t i = boxesBefore; i < fake.boxes.size(); ++i) {
            EXPECT_EQ(fake.boxes[i].text, "Do you really want to cancel installation?");
            EXPECT_EQ(fake.boxes[i].flags, 0x2000002u);
        }
        fake.answers.clear();
    }

    std::unique_ptr<CInstallerDlg> dialog;
};

TEST_P(StateTableTest, ActLeadsToTheStateOfTheTable) {
    const Row& row = GetParam();
    dialog = MakeDialog();
    if (row.state == 3) {
        // The worker is held after its first post while the act happens.
        fake.CloseGate();
        fake.onEventPass = [this, row](int pass) {
            if (pass == 1) {
                ActAndCheck(row);
                fake.OpenGate();
            }
        };
    }
    fake.onMainLoop = [this, row] {
        if (row.state >= 2) {
            ASSERT_TRUE(fake.Press(Command::kNext));
        }
        if (row.state >= 3) {
            fake.Type(row.state == 5 ? FailingTarget() : sandbox.at("target/"));
            ASSERT_TRUE(fake.Press(Command::kNext));
        }
        if (row.state != 3) {
            ActAndCheck(row);
        }
    };
    dialog->Run();
    fake.OpenGate();
    EXPECT_EQ(dialog->GetPageState(), row.finalState);
    EXPECT_EQ(host.openedDocuments.size(), row.opensDocument ? 1u : 0u);
    if (row.finalState == 4) {
        EXPECT_EQ(fake.PageText(), "Configuration installed successfully.");
    }
    if (row.finalState == 5 && row.state == 3) {
        EXPECT_EQ(fake.PageText(),
                  "Installation canceled. Template directory has not been changed.");
        EXPECT_FALSE(Sandbox::exists(sandbox.at("target/a.cfg")));
    }
}

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return "State" + std::to_string(info.param.state) + "_" + ActName(info.param.act) +
           AnswerName(info.param.answer) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(AllRows, StateTableTest, ::testing::ValuesIn(kRows), RowName);

}  // namespace
}  // namespace wizard_test
