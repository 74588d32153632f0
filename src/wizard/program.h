// The program start-up shared by both front ends: command line and language,
// the window title, one installer dialog on the stack, its run.
#pragma once
#include "l10n/startup_options.h"
#include "platform/services.h"
#include "wizard/toolkit.h"

namespace wizard {

// Runs the whole installer with `toolkit` and returns the exit status (always
// 0). The front end calls it from main after its own early set-up (GTK:
// g_thread_init and gdk_threads_init). `localeSource` names the user's locale
// when no L option chose the language: the Linux default reads the process
// locale; the Cocoa front end passes a source built on NSLocale that also
// fills LANG (see l10n/startup_options.h). `services` are the system's own
// unless a test puts the kit elsewhere. Never throws.
int RunInstallerProgram(int argc, char** argv, Toolkit& toolkit,
                        LocaleNameSource localeSource = ProcessLocaleName,
                        platform::Services& services = platform::NativeServices());

}  // namespace wizard
