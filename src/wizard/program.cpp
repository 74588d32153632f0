// The start-up routine both front ends end in.
#include "wizard/program.h"

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"

namespace wizard {

int RunInstallerProgram(int argc, char** argv, Toolkit& toolkit, LocaleNameSource localeSource,
                        platform::Services& services) {
    try {
        // The scan lets the locale source set the process locale, then calls
        // stdx::select_environment_locale() once, so every narrow/widen from
        // here on (the title first) converts in the user's locale.
        StartupOptions options = ScanStartupOptions(argc, argv, localeSource);
        stdx::string8 title = GetLocalizedUtf8("IDR_MAINFRAME");
        CInstallerDlg dialog(toolkit, services, argc, argv, options.autoStart, title,
                             options.dialogLanguage, options.useCwd);
        dialog.Run();
        return dialog.ExitStatus();
    } catch (...) {
        // A failure before the dialog exists (out of memory): end quietly.
    }
    return 0;
}

}  // namespace wizard
