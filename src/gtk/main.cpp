// Entry of the Linux program `setup`: the shared start-up with GTK 2 as its
// windowed front end.
#include <gtk/gtk.h>

#include "gtk/gtk_toolkit.h"
#include "wizard/program.h"

namespace {

class GtkFrontEnd final : public wizard::WindowedFrontEnd {
  public:
    // gtk_init would end the process when no display can be opened; the
    // console takes over instead. The toolkit's own gtk_init later finds GTK
    // initialised and returns at once.
    bool Open(int* argc, char*** argv) override {
        g_thread_init(nullptr);
        gdk_threads_init();
        return gtk_init_check(argc, argv);
    }

    // GTK 2 expects the thread that runs it to hold the GDK lock outside the
    // main loop: gtk_main, gtk_main_iteration and gtk_dialog_run release it
    // while they wait and take it back afterwards. Only this thread ever
    // takes it; the worker never calls GTK.
    int Run(const std::function<int(wizard::Toolkit&)>& wizard) override {
        gdk_threads_enter();
        int status = 0;
        {
            gtkfront::GtkToolkit toolkit;
            status = wizard(toolkit);
        }
        gdk_threads_leave();
        return status;
    }
};

}  // namespace

int main(int argc, char** argv) {
    GtkFrontEnd frontEnd;
    return wizard::RunProgram(argc, argv, &frontEnd);
}
