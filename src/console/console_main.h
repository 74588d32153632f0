// Entry of the console front end, for a program whose start-up has read the
// command line: runs the installer on the terminal and returns the exit
// status (wizard::ExitStatus).
#pragma once
#include "wizard/program.h"

namespace console {

int RunConsole(wizard::ProgramStart start);

}  // namespace console
