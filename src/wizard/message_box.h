// The words every front end shares with the controller: the kinds and
// buttons of a message box, its answers, and the answer to a request to
// close.
#pragma once
#include <cstdint>

namespace wizard {

// Answer to a request to close the wizard (ToolkitListener::OnCloseRequest,
// StepListener::OnCloseRequest).
enum class CloseAnswer {
    kAllowClose,  // let the window close (and the main loop end)
    kKeepOpen,    // ignore the close request; the window stays
};

// Message box flag words: kind in bits 24-31, buttons in bits 0-7.
constexpr uint32_t kMessageBoxKindMask = 0xFF000000u;
constexpr uint32_t kMessageBoxKindError = 0x01000000u;     // error look, error icon
constexpr uint32_t kMessageBoxKindQuestion = 0x02000000u;  // question look, question icon
constexpr uint32_t kMessageBoxButtonsMask = 0x000000FFu;
constexpr uint32_t kMessageBoxButtonsYesNo = 2u;  // any other low byte: a single OK
// The three words in use.
constexpr uint32_t kMessageBoxError = 0x1000001u;     // error, OK
constexpr uint32_t kMessageBoxQuestion = 0x2000002u;  // question, Yes/No
constexpr uint32_t kMessageBoxPlain = 1u;             // plain, OK

inline uint32_t MessageBoxKind(uint32_t flags) {
    return flags & kMessageBoxKindMask;
}
inline bool MessageBoxHasYesNo(uint32_t flags) {
    return (flags & kMessageBoxButtonsMask) == kMessageBoxButtonsYesNo;
}

// Answers of a message box.
enum MessageBoxAnswer : int {
    kAnswerNone = 0,  // closed without a button (window control, Escape in GTK, ...)
    kAnswerYes = 1,
    kAnswerNo = 2,
    kAnswerOk = 3,
};

}  // namespace wizard
