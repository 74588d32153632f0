// Entry of the Linux program `setup`: GLib threads and the GDK lock first,
// then the shared start-up with the GTK toolkit.
#include <gtk/gtk.h>

#include "gtk/gtk_toolkit.h"
#include "wizard/program.h"

int main(int argc, char** argv) {
    g_thread_init(nullptr);
    gdk_threads_init();
    // GTK 2 expects the thread that runs it to hold the GDK lock outside the
    // main loop: gtk_main, gtk_main_iteration and gtk_dialog_run release it
    // while they wait and take it back afterwards. Only this thread ever
    // takes it; the worker never calls GTK.
    gdk_threads_enter();
    int status = 0;
    {
        gtkfront::GtkToolkit toolkit;
        status = wizard::RunInstallerProgram(argc, argv, toolkit);
    }
    gdk_threads_leave();
    return status;
}
