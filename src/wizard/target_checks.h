// The checks a chosen template directory must pass before a copy run starts
// into it, whoever chose it: the wizard's directory page, the console's
// prompt or --dir. A directory that does not exist yet is fine when it can be
// created (the run makes it).
#pragma once
#include "text/basic_string.h"

namespace wizard {

// Whether a check may create (and delete) a probe file, or must only look:
// a dry run leaves nothing behind, not even for a moment.
enum class DiskAccess {
    kMayWrite,
    kLookOnly,
};

// The catalogue key of the reason `dir` is refused, or nullptr when it may be
// used: empty ("IDS_SETUP_EMPTYTARGET"), a line feed, carriage return or NUL
// in the name, which the launcher file's lines cannot hold
// ("IDS_ERROR_LINEBREAK"), the working directory itself
// ("IDS_ERROR_NOTARGET"), or neither writable nor creatable, a name the
// locale cannot represent or longer than the file system allows included
// ("IDS_ERROR_NOTWRITABLE").
const char* RefuseTargetDirectory(const stdx::string16& dir, DiskAccess access);

// True when `name` holds a line feed, a carriage return or a NUL.
bool HasLineBreak(const stdx::string16& name);
bool HasLineBreak(const stdx::string8& name);

// True when a file can be created in the existing directory `dir` (the
// probe file is deleted at once; with kLookOnly the permission bits are
// asked instead).
bool IsWritableDirectory(const stdx::string16& dir, DiskAccess access);

}  // namespace wizard
