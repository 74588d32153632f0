// Process entry of setup-mac: the shared installer start-up, with the Cocoa
// toolkit and the language fallback taken from NSLocale.
#include "cocoa/cocoa_toolkit.h"
#include "cocoa/locale_source.h"
#include "wizard/program.h"

int main(int argc, char** argv) {
    cocoa::CocoaToolkit toolkit;
    return wizard::RunInstallerProgram(argc, argv, toolkit, cocoa::CurrentLocaleName);
}
