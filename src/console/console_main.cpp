// The console run: the language fitted to the terminal, then the shared
// dialog on the console's steps.
#include "console_main.h"

#include "console_text.h"
#include "console_ui.h"
#include "l10n/localization.h"

namespace console {

int RunConsole(wizard::ProgramStart start) {
    if (FallBackToEnglishIfNeeded(start.options)) {
        start.title = GetLocalizedUtf8("IDR_MAINFRAME");
    }
    ConsoleUi ui;
    return wizard::RunStepProgram(start, ui);
}

}  // namespace console
