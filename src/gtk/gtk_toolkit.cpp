// Set-up, window and event loop of the GTK front end (GTK 2 and GTK 3).
#include "gtk/gtk_toolkit.h"

#include <X11/Xlib.h>
#include <gdk/gdkkeysyms.h>
#include <unistd.h>
#if GTK_CHECK_VERSION(3, 0, 0)
#include <gdk/gdkx.h>
#endif

#include "gtk/gtk_look.h"

namespace gtkfront {

namespace {

const char kCommandKey[] = "setup-command";

// The one toolkit of the process, for Xlib's handler, and the handler GDK
// had installed (it reports the loss and ends the process with 1).
GtkToolkit* g_toolkit = nullptr;
XIOErrorHandler g_gdkIoHandler = nullptr;

}  // namespace

GtkToolkit::~GtkToolkit() {
    if (queuedIdle_ != 0) {
        g_source_remove(queuedIdle_);
    }
    if (interruptWatch_ != 0) {
        g_source_remove(interruptWatch_);
    }
    if (g_toolkit == this) {
        g_toolkit = nullptr;
    }
    if (sidePicture_ != nullptr) {
        g_object_unref(sidePicture_);
    }
}

void GtkToolkit::Initialize(int* argc, char*** argv) {
    gtk_init(argc, argv);
    ApplyStyle();
#if GTK_CHECK_VERSION(3, 0, 0)
    // Only an X11 display has Xlib's handler; GTK 3 may be on Wayland.
    if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
        return;
    }
#endif
    // After gtk_init: GDK installs its own handler there.
    g_toolkit = this;
    XIOErrorHandler previous = XSetIOErrorHandler(&GtkToolkit::OnDisplayLost);
    if (previous != &GtkToolkit::OnDisplayLost) {
        g_gdkIoHandler = previous;
    }
}

// The X server went away (the session ended, an ssh connection dropped).
// Xlib ends the process when this returns, so it never does: the listener
// ends the run (a copy is rolled back first) and names the status.
int GtkToolkit::OnDisplayLost(::_XDisplay* display) {
    GtkToolkit* toolkit = g_toolkit;
    wizard::ToolkitListener* listener = toolkit != nullptr ? toolkit->listener_ : nullptr;
    if (listener == nullptr) {
        if (g_gdkIoHandler != nullptr) {
            return g_gdkIoHandler(display);
        }
        _exit(1);
    }
    toolkit->listener_ = nullptr;
    _exit(listener->OnDisplayLost());
}

wizard::Handle GtkToolkit::CreateWindow(int width, int height, const char* title,
                                        wizard::ToolkitListener* listener) {
    listener_ = listener;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    window_ = window;
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);

    // Minimum, maximum and base size all equal: the window cannot be resized.
    GdkGeometry hints = {};
    hints.min_width = hints.max_width = hints.base_width = width;
    hints.min_height = hints.max_height = hints.base_height = height;
    hints.win_gravity = GDK_GRAVITY_NORTH_WEST;
    gtk_window_set_geometry_hints(
        GTK_WINDOW(window), nullptr, &hints,
        static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE | GDK_HINT_BASE_SIZE));
    gtk_window_set_default_size(GTK_WINDOW(window), width, height);
    // Not resizable for the window manager and for a screen reader alike;
    // the content area's own size request keeps the window at its size.
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    contentWidth_ = width;
    contentHeight_ = height;
    gtk_window_set_modal(GTK_WINDOW(window), TRUE);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_MENU);

    SetWindowIcon(GTK_WINDOW(window));

    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDeleteEvent), this);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), this);
    gtk_window_set_title(GTK_WINDOW(window), title);
    return window;
}

wizard::Handle GtkToolkit::CreateContainer(wizard::Handle window) {
    GtkWidget* fixed = NewFixedContainer();
    gtk_widget_set_size_request(fixed, contentWidth_, contentHeight_);
    gtk_container_add(GTK_CONTAINER(window), fixed);
    gtk_widget_show(fixed);
    return fixed;
}

void GtkToolkit::ShowWindow(wizard::Handle window) {
    gtk_widget_show(GTK_WIDGET(window));
}

void GtkToolkit::DestroyWindow(wizard::Handle window, wizard::Handle container) {
    if (window == nullptr || window != window_) {
        return;
    }
    DestroyParked();
    if (container != nullptr) {
        gtk_widget_destroy(GTK_WIDGET(container));
    }
    // The "destroy" handler ends the main loop and tells the listener.
    gtk_widget_destroy(GTK_WIDGET(window));
}

wizard::Handle GtkToolkit::LoadSidePicture() {
    if (sidePicture_ == nullptr) {
        sidePicture_ = LoadSidePictureAtScale1();
    }
    return sidePicture_;
}

wizard::Handle GtkToolkit::CreateButton(wizard::Handle container, wizard::Rect rect,
                                        const char* caption, wizard::Command command) {
    GtkWidget* button = gtk_button_new_with_label(caption);
    gtk_widget_set_name(button, "setup-button");
    gtk_widget_set_size_request(button, rect.width, rect.height);
    gtk_fixed_put(GTK_FIXED(container), button, rect.x, rect.y);
    g_object_set_data(G_OBJECT(button), kCommandKey, GINT_TO_POINTER(static_cast<int>(command)));
    g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), this);
    gtk_widget_show(button);
    FitCaption(button);
    return button;
}

void GtkToolkit::RunMainLoop() {
    // A window that is already gone would leave gtk_main waiting for ever.
    if (window_ == nullptr) {
        return;
    }
    gtk_main();
}

void GtkToolkit::ProcessEvents() {
    // Blocks until at least one event source has been served; Wakeup from the
    // worker counts as one, so a finished copy is seen even when the screen
    // produces no events. Called with the GDK lock held; gtk_main_iteration
    // releases it while waiting.
    gtk_main_iteration();
}

void GtkToolkit::Wakeup() {
    g_main_context_wakeup(nullptr);
}

void GtkToolkit::OnDestroy(GtkWidget* window, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (window != toolkit->window_) {
        return;
    }
    toolkit->window_ = nullptr;
    // With auto-start the window may go while no main loop runs.
    if (gtk_main_level() > 0) {
        gtk_main_quit();
    }
    wizard::ToolkitListener* listener = toolkit->listener_;
    toolkit->listener_ = nullptr;
    if (listener != nullptr) {
        listener->OnWindowClosed();
    }
}

gboolean GtkToolkit::OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (toolkit->listener_ == nullptr) {
        return FALSE;
    }
    // TRUE keeps the window; FALSE lets GTK destroy it.
    return toolkit->listener_->OnCloseRequest() == wizard::CloseAnswer::kKeepOpen ? TRUE : FALSE;
}

gboolean GtkToolkit::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (toolkit->listener_ == nullptr || event->keyval != GDK_KEY_Escape) {
        return FALSE;
    }
    toolkit->listener_->OnCommand(wizard::Command::kCancel);
    return TRUE;
}

void GtkToolkit::OnButtonClicked(GtkButton* button, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (toolkit->listener_ == nullptr) {
        return;
    }
    const auto command = static_cast<wizard::Command>(
        GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), kCommandKey)));
#if GTK_CHECK_VERSION(3, 0, 0)
    // GTK 3 presses a button for a screen reader inside the reader's call,
    // whose answer waits until the handler returns; a message box's nested
    // loop run from here would hold the reader until its call timed out.
    // The press is handled right after, from the main loop.
    toolkit->queued_.push_back(command);
    if (toolkit->queuedIdle_ == 0) {
        toolkit->queuedIdle_ = g_idle_add(DeliverQueued, toolkit);
    }
#else
    toolkit->listener_->OnCommand(command);
#endif
}

gboolean GtkToolkit::DeliverQueued(gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    toolkit->queuedIdle_ = 0;
    std::vector<wizard::Command> queued;
    queued.swap(toolkit->queued_);
    for (wizard::Command command : queued) {
        if (toolkit->listener_ != nullptr) {
            toolkit->listener_->OnCommand(command);
        }
    }
    return G_SOURCE_REMOVE;
}

}  // namespace gtkfront
