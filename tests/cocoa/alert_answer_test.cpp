// How an alert's flag word picks its look, and how runModal's answer maps to
// the dialog's answers: the cancel question must never read a closed alert
// as Yes, and an error's OK must not read as Yes either.
#include "cocoa/alert_answer.h"

#include <gtest/gtest.h>

#include "wizard/toolkit.h"

namespace {

using cocoa::AlertLook;
using cocoa::AlertLookFor;
using cocoa::MapAlertResponse;

TEST(AlertLook, FollowsTheKindByte) {
    EXPECT_EQ(AlertLookFor(wizard::kMessageBoxQuestion), AlertLook::kQuestion);
    EXPECT_EQ(AlertLookFor(wizard::kMessageBoxError), AlertLook::kError);
    EXPECT_EQ(AlertLookFor(wizard::kMessageBoxPlain), AlertLook::kInformational);
    // The kind alone decides, whatever the buttons.
    EXPECT_EQ(AlertLookFor(0x02000001u), AlertLook::kQuestion);
    EXPECT_EQ(AlertLookFor(0x01000002u), AlertLook::kError);
    EXPECT_EQ(AlertLookFor(0x03000002u), AlertLook::kInformational);
    EXPECT_EQ(AlertLookFor(0u), AlertLook::kInformational);
}

TEST(AlertResponse, YesNoAlerts) {
    const uint32_t question = wizard::kMessageBoxQuestion;
    EXPECT_EQ(MapAlertResponse(1000, question), wizard::kAnswerYes);
    EXPECT_EQ(MapAlertResponse(1001, question), wizard::kAnswerNo);
}

TEST(AlertResponse, SingleButtonAlertsAnswerOk) {
    EXPECT_EQ(MapAlertResponse(1000, wizard::kMessageBoxError), wizard::kAnswerOk);
    EXPECT_EQ(MapAlertResponse(1000, wizard::kMessageBoxPlain), wizard::kAnswerOk);
    // A low byte other than 2 is a single OK, even with the question's kind.
    EXPECT_EQ(MapAlertResponse(1000, 0x02000001u), wizard::kAnswerOk);
}

TEST(AlertResponse, AnythingElseIsNoAnswer) {
    // Closed by its window control, stopped or aborted (NSModalResponseStop
    // -1000, NSModalResponseAbort -1001, NSModalResponseCancel 0), or a third
    // button that no alert of ours has.
    for (long response : {-1000L, -1001L, 0L, 1L, 999L, 1002L, 1003L}) {
        EXPECT_EQ(MapAlertResponse(response, wizard::kMessageBoxQuestion), wizard::kAnswerNone)
            << response;
        EXPECT_EQ(MapAlertResponse(response, wizard::kMessageBoxError), wizard::kAnswerNone)
            << response;
    }
}

}  // namespace
