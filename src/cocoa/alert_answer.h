// How an alert's flag word becomes its look and buttons, and how the answer
// of runModal maps to the dialog's message-box answers. Plain C++, so the
// rules are testable without a window.
#pragma once
#include <cstdint>

namespace cocoa {

enum class AlertLook {
    kQuestion,       // warning style, question icon
    kError,          // critical style, error icon
    kInformational,  // informational style, AppKit's own icon
};

AlertLook AlertLookFor(uint32_t flags);

// Response codes of runModal for the first and second button.
constexpr long kFirstButtonResponse = 1000;
constexpr long kSecondButtonResponse = 1001;

// 1000 is Yes (1) with Yes/No buttons and OK (3) otherwise; 1001 is No (2);
// anything else (the alert closed by other means) is 0.
int MapAlertResponse(long response, uint32_t flags);

}  // namespace cocoa
