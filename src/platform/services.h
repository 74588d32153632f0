// The operating-system services the installer dialog uses besides windows
// and files: where the executable lies, how it is packaged, and opening a
// document with the desktop's opener. The dialog reaches them only through
// platform::Services, so every front end (and the dialog's unit tests) gets
// the same ones without a copy of its own.
#pragma once
#include "platform/executable_path.h"
#include "text/basic_string.h"

namespace platform {

class Services {
  public:
    virtual ~Services() = default;

    // Full path of the running executable (UTF-8 bytes); empty when unknown.
    virtual stdx::string8 ExecutablePath() = 0;
    // How the executable is packaged, which decides where the kit lies.
    virtual ExecutableLayout Layout() = 0;
    // Opens a document (or directory) with the desktop's opener, started
    // without a shell with `path` as its only argument and its error output
    // to /dev/null. False when there is no opener or it reported a failure.
    virtual bool OpenDocument(const char* path) = 0;
};

// This system's own services (executable_path.h, desktop.h); one object for
// the whole process.
Services& NativeServices();

}  // namespace platform
