// The answer to a yes/no question on the console, in the current language:
// "y" and "n" always, and the language's own Yes and No, whole or by their
// first letter ("д" and "да" with -Lru), in either case.
#pragma once
#include <string>

namespace console {

enum class YesNo { kYes, kNo, kUnclear };

// `typed` is a line as read from the terminal (its locale's encoding).
YesNo ReadYesNo(const std::string& typed);

// The choices shown after a question, UTF-8: "[y/n]", "[д/н]", "[j/n]".
std::string YesNoChoices();

}  // namespace console
