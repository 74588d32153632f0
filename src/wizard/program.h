// The program start-up shared by both front ends: command line and language,
// the window title, one installer dialog on the stack, its run.
#pragma once
#include "wizard/toolkit.h"

namespace wizard {

// Runs the whole installer with `toolkit` and returns the exit status (always
// 0). The front end calls it from main after its own early set-up (GTK:
// g_thread_init and gdk_threads_init; Cocoa: filling LANG from NSLocale when
// it is unset or empty). Never throws.
int RunInstallerProgram(int argc, char** argv, Toolkit& toolkit);

}  // namespace wizard
