/* A GTK module for the end-to-end tests, loaded into the real program with
 * GTK_MODULES. On SIGUSR1 it writes what is on the screen to the file named
 * by SETUP_PROBE_OUT: one line per top-level window and one per widget inside,
 * tab-separated, so shell tests can wait for a page and find a button without
 * reading pixels. It changes nothing in the program and runs only when
 * signalled, so it adds no wake-ups of its own to the event loop. The same
 * source is built for GTK 2 and for GTK 3.
 *
 *   W  <xid> <type> <mapped> <width> <height> <title>
 *   C  <xid> <type> <mapped> <sensitive> <x> <y> <width> <height> <value> <text>
 *   R  <xid> <mapped> <text width> <allocated width> <right edge> <text>
 *   F  <xid> <type> <text>          the window's keyboard focus, if any
 *
 * <xid> is the X window of the top-level window; x and y are relative to it.
 * <value> is 0/1 for toggle buttons, the percentage of a progress bar, "-"
 * otherwise. <text> is the label, button caption or entry text with tabs and
 * line feeds written as spaces and "\n". An R line follows the C line of
 * every label: the width its text takes as laid out (wrapped where the label
 * wraps) against the width it was given, and its right edge in the window,
 * so a test can find clipped captions. */
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>

static void write_text(FILE* out, const char* text) {
    if (text == NULL) {
        return;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') {
            fputs("\\n", out);
        } else if (*p == '\t' || *p == '\r') {
            fputc(' ', out);
        } else {
            fputc(*p, out);
        }
    }
}

static const char* text_of(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget)) {
        return gtk_label_get_text(GTK_LABEL(widget));
    }
    if (GTK_IS_ENTRY(widget)) {
        return gtk_entry_get_text(GTK_ENTRY(widget));
    }
    if (GTK_IS_BUTTON(widget)) {
        /* A caption with a mnemonic ("_Yes") is reported as shown ("Yes"). */
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget));
        if (gtk_button_get_use_underline(GTK_BUTTON(widget)) && GTK_IS_LABEL(child)) {
            return gtk_label_get_text(GTK_LABEL(child));
        }
        return gtk_button_get_label(GTK_BUTTON(widget));
    }
    return NULL;
}

static void write_widget(GtkWidget* widget, gpointer data);

typedef struct {
    FILE* out;
    GtkWidget* toplevel;
    unsigned long xid;
} DumpContext;

static void write_widget(GtkWidget* widget, gpointer data) {
    DumpContext* ctx = data;
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(widget, ctx->toplevel, 0, 0, &x, &y);
    GtkAllocation box;
    gtk_widget_get_allocation(widget, &box);
    char value[32] = "-";
    if (GTK_IS_TOGGLE_BUTTON(widget)) {
        snprintf(value, sizeof value, "%d",
                 gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) ? 1 : 0);
    } else if (GTK_IS_PROGRESS_BAR(widget)) {
        snprintf(value, sizeof value, "%.0f",
                 100.0 * gtk_progress_bar_get_fraction(GTK_PROGRESS_BAR(widget)));
    }
    fprintf(ctx->out, "C\t%lu\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%s\t", ctx->xid,
            G_OBJECT_TYPE_NAME(widget), gtk_widget_get_mapped(widget) ? 1 : 0,
            gtk_widget_is_sensitive(widget) ? 1 : 0, x, y, box.width, box.height, value);
    write_text(ctx->out, text_of(widget));
    fputc('\n', ctx->out);
    if (GTK_IS_LABEL(widget)) {
        int textWidth = 0;
        pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(widget)), &textWidth, NULL);
        int xpad = 0;
        gtk_misc_get_padding(GTK_MISC(widget), &xpad, NULL);
        fprintf(ctx->out, "R\t%lu\t%d\t%d\t%d\t%d\t", ctx->xid,
                gtk_widget_get_mapped(widget) ? 1 : 0, textWidth + 2 * xpad, box.width,
                x + box.width);
        write_text(ctx->out, text_of(widget));
        fputc('\n', ctx->out);
    }
    if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(GTK_CONTAINER(widget), write_widget, ctx);
    }
}

/* The X window, or 0 on a display that is not X11 (GTK 3 on Wayland). */
static unsigned long window_id(GdkWindow* window) {
#if GTK_MAJOR_VERSION >= 3
    if (!GDK_IS_X11_WINDOW(window)) {
        return 0;
    }
#endif
    return (unsigned long)GDK_WINDOW_XID(window);
}

static gboolean dump(gpointer unused) {
    (void)unused;
    const char* path = g_getenv("SETUP_PROBE_OUT");
    if (path == NULL) {
        return TRUE;
    }
    gdk_threads_enter();
    char* temp = g_strconcat(path, ".part", NULL);
    FILE* out = fopen(temp, "w");
    if (out != NULL) {
        GList* windows = gtk_window_list_toplevels();
        for (GList* it = windows; it != NULL; it = it->next) {
            GtkWidget* window = it->data;
            GdkWindow* gdkWindow = gtk_widget_get_window(window);
            if (gdkWindow == NULL) {
                continue;
            }
            DumpContext ctx = {out, window, window_id(gdkWindow)};
            GtkAllocation box;
            gtk_widget_get_allocation(window, &box);
            fprintf(out, "W\t%lu\t%s\t%d\t%d\t%d\t", ctx.xid, G_OBJECT_TYPE_NAME(window),
                    gtk_widget_get_mapped(window) ? 1 : 0, box.width, box.height);
            write_text(out, gtk_window_get_title(GTK_WINDOW(window)));
            fputc('\n', out);
            gtk_container_forall(GTK_CONTAINER(window), write_widget, &ctx);
            GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
            if (focus != NULL) {
                fprintf(out, "F\t%lu\t%s\t", ctx.xid, G_OBJECT_TYPE_NAME(focus));
                write_text(out, text_of(focus));
                fputc('\n', out);
            }
        }
        g_list_free(windows);
        fclose(out);
        rename(temp, path);
    }
    g_free(temp);
    gdk_threads_leave();
    return TRUE;
}

G_MODULE_EXPORT void gtk_module_init(gint* argc, gchar*** argv) {
    (void)argc;
    (void)argv;
    g_unix_signal_add(SIGUSR1, dump, NULL);
    const char* path = g_getenv("SETUP_PROBE_OUT");
    if (path != NULL) {
        /* Tells the test that SIGUSR1 is now safe to send. */
        char* ready = g_strconcat(path, ".ready", NULL);
        FILE* f = fopen(ready, "w");
        if (f != NULL) {
            fclose(f);
        }
        g_free(ready);
    }
}
