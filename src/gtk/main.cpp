// Entry of the Linux program `setup`: the command line first (--help and
// --version need no display), then the GTK wizard when a display can be
// opened, else the console front end.
#include <gtk/gtk.h>

#include "console/console_main.h"
#include "gtk/gtk_toolkit.h"
#include "wizard/program.h"

int main(int argc, char** argv) {
    wizard::ProgramStart start = wizard::BeginProgram(argc, argv);
    if (start.finished) {
        return start.status;
    }
    if (start.line.console || start.line.dryRun) {
        return console::RunConsole(start);
    }
    g_thread_init(nullptr);
    gdk_threads_init();
    // gtk_init would end the process when no display can be opened; the
    // console takes over instead. The toolkit's own gtk_init later finds GTK
    // initialised and returns at once.
    if (!gtk_init_check(&argc, &argv)) {
        return console::RunConsole(start);
    }
    // GTK 2 expects the thread that runs it to hold the GDK lock outside the
    // main loop: gtk_main, gtk_main_iteration and gtk_dialog_run release it
    // while they wait and take it back afterwards. Only this thread ever
    // takes it; the worker never calls GTK.
    gdk_threads_enter();
    int status = 0;
    {
        gtkfront::GtkToolkit toolkit;
        status = wizard::RunWizardProgram(start, argc, argv, toolkit);
    }
    gdk_threads_leave();
    return status;
}
