// The line shown below "Installation error" (and the console's report): the
// path a step failed on and the system's reason for it, in the user's
// language where the system has one ("/t/sub: File exists").
#pragma once

#include "text/basic_string.h"

namespace install {

// `path`, then ": " and the system's text for `errnum` when it is not 0.
// Empty when `path` is empty.
stdx::string16 DescribeFailure(const stdx::string16& path, int errnum);

}  // namespace install
