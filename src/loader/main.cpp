// Entry of the Linux program `setup`: the shared start-up with the
// windowed front ends loaded at run time (GTK 3, then GTK 2), and the
// console whenever none of them starts. The program itself links no
// toolkit, so it runs where none is installed.
#include "loader/front_end_modules.h"
#include "wizard/program.h"

int main(int argc, char** argv) {
    loader::ModuleFrontEnds frontEnd;
    return wizard::RunProgram(argc, argv, &frontEnd);
}
