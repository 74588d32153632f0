// A directory as the user typed it (the wizard's entry, the console prompt,
// the --dir option) turned into the absolute path the installer works with
// and writes into the launcher file:
//
//   "~"              the home directory
//   "~/rest"         the home directory, then "/rest"
//   "/abs/path"      unchanged
//   anything else    the working directory, then "/", then the text
//
// "." parts and repeated "/" are dropped; a trailing "/" is kept. ".." parts
// are kept as typed: with a link among the parents, dropping them would name
// another directory than the system would.
#pragma once

#include "text/basic_string.h"

// The absolute path for `typed`, or empty when `typed` is empty or the home
// or working directory it needs cannot be found.
stdx::string16 ExpandUserPath(const stdx::string16& typed);

// The same with the home and working directories given (both absolute, no
// trailing "/" needed); used by ExpandUserPath and by the tests.
stdx::string16 ExpandUserPathIn(const stdx::string16& typed, const stdx::string16& home,
                                const stdx::string16& workingDir);

// The process's working directory, whatever its length; empty if unknown or
// not representable in the locale.
stdx::string16 CurrentWorkingDirectory();
