// Exclusive creation of a directory only its owner may enter, for the
// staging directory that receives the user's earlier files: a name someone
// else prepared (directory, file or symbolic link) is never reused.
#pragma once
#include <cstdint>

#include "text/basic_string.h"

namespace install {

// mkdir with mode 0700, no parents, never following a link. 0 when made;
// 183 when anything already exists at `path`; 2 when the parent is missing;
// 87 for any other failure or a path that cannot be converted.
std::uint32_t MakePrivateDirectory(const stdx::string16& path);

}  // namespace install
