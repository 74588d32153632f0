// The module's front end: GTK (2 or 3, as the module is built) opened on
// the display and running the wizard. The program loads the module at run
// time (loader/front_end_modules.h) through its one entry point.
#include <gtk/gtk.h>

#include <cstdlib>

#include "gtk/gtk_toolkit.h"
#include "loader/module_entry.h"

namespace gtkfront {

namespace {

class GtkFrontEnd final : public wizard::WindowedFrontEnd {
  public:
    // gtk_init would end the process when no display can be opened; the
    // console takes over instead. The toolkit's own gtk_init later finds GTK
    // initialised and returns at once.
    bool Open(int* argc, char*** argv, const wizard::FrontEndRequest&,
              std::string& reason) override {
#if !GTK_CHECK_VERSION(3, 0, 0)
        g_thread_init(nullptr);
        gdk_threads_init();
#endif
        if (gtk_init_check(argc, argv)) {
            return true;
        }
        reason = "cannot open the display";
        const char* display = gdk_get_display_arg_name();
        if (display == nullptr) {
            display = std::getenv("DISPLAY");
        }
        if (display != nullptr && *display != '\0') {
            reason += std::string(" ") + display;
        }
        return false;
    }

    // GTK 2 expects the thread that runs it to hold the GDK lock outside the
    // main loop: gtk_main, gtk_main_iteration and gtk_dialog_run release it
    // while they wait and take it back afterwards. Only this thread ever
    // takes it; the worker never calls GTK. GTK 3 has no such lock.
    int Run(const std::function<int(wizard::Toolkit&)>& wizard) override {
#if !GTK_CHECK_VERSION(3, 0, 0)
        gdk_threads_enter();
#endif
        int status = 0;
        {
            GtkToolkit toolkit;
            status = wizard(toolkit);
        }
#if !GTK_CHECK_VERSION(3, 0, 0)
        gdk_threads_leave();
#endif
        return status;
    }
};

}  // namespace

}  // namespace gtkfront

SETUP_FRONT_END_MODULE(gtkfront::GtkFrontEnd)
