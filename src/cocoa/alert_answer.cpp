// See alert_answer.h.
#include "cocoa/alert_answer.h"

#include "wizard/toolkit.h"

namespace cocoa {

AlertLook AlertLookFor(uint32_t flags) {
    const uint32_t kind = wizard::MessageBoxKind(flags);
    if (kind == wizard::kMessageBoxKindQuestion) {
        return AlertLook::kQuestion;
    }
    if (kind == wizard::kMessageBoxKindError) {
        return AlertLook::kError;
    }
    return AlertLook::kInformational;
}

int MapAlertResponse(long response, uint32_t flags) {
    if (response == kFirstButtonResponse) {
        return wizard::MessageBoxHasYesNo(flags) ? wizard::kAnswerYes : wizard::kAnswerOk;
    }
    if (response == kSecondButtonResponse) {
        return wizard::kAnswerNo;
    }
    return wizard::kAnswerNone;
}

}  // namespace cocoa
