// The controls of the wizard pages and the button bar, placed in the GtkFixed
// at the positions the dialog gives. Every control is created visible; the
// dialog hides and shows whole pages.
#include "gtk/gtk_look.h"
#include "gtk/gtk_toolkit.h"

namespace gtkfront {

namespace {

GtkWidget* Place(wizard::Handle container, GtkWidget* widget, int x, int y) {
    gtk_fixed_put(GTK_FIXED(container), widget, x, y);
    gtk_widget_show(widget);
    return widget;
}

// Size of the multi-line texts: they wrap inside this area, which keeps a
// margin of 10 pixels to the window's right edge (x 170 + 320 = 490).
constexpr int kTextWidth = 320;
constexpr int kTextHeight = 250;
// Room that GTK keeps left of a check box's caption for the box itself.
constexpr int kCheckIndicatorWidth = 24;

}  // namespace

wizard::Handle GtkToolkit::CreateSeparator(wizard::Handle container, wizard::Rect rect) {
    GtkWidget* separator = gtk_hseparator_new();
    gtk_widget_set_name(separator, "setup-separator");
    gtk_widget_set_size_request(separator, rect.width, rect.height);
    return Place(container, separator, rect.x, rect.y);
}

wizard::Handle GtkToolkit::CreatePicture(wizard::Handle container, int x, int y,
                                         wizard::Handle picture) {
    GtkWidget* image = NewPicture(static_cast<GdkPixbuf*>(picture));
    // Decoration only: a screen reader is told to pass over it.
    AtkObject* access = gtk_widget_get_accessible(image);
    atk_object_set_role(access, ATK_ROLE_REDUNDANT_OBJECT);
    atk_object_set_name(access, "");
    return Place(container, image, x, y);
}

wizard::Handle GtkToolkit::CreateMultilineText(wizard::Handle container, int x, int y,
                                               const char* text) {
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    // A long product name without spaces is broken inside the word rather
    // than cut off at the edge.
    gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.0f);
    gtk_label_set_text(GTK_LABEL(label), text);
    gtk_widget_set_size_request(label, kTextWidth, kTextHeight);
    return Place(container, label, x, y);
}

wizard::Handle GtkToolkit::CreateLabel(wizard::Handle container, int x, int y, int,
                                       const char* text) {
    return Place(container, gtk_label_new(text), x, y);
}

wizard::Handle GtkToolkit::CreateCheckBox(wizard::Handle container, int x, int y, int,
                                          const char* caption, bool checked) {
    GtkWidget* check = gtk_check_button_new_with_label(caption);
    // Long captions (German, Russian, ...) wrap inside the text area instead
    // of running past the window's right edge.
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(check));
    if (GTK_IS_LABEL(label)) {
        gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
        gtk_widget_set_size_request(label, kTextWidth - kCheckIndicatorWidth, -1);
    }
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), checked ? TRUE : FALSE);
    return Place(container, check, x, y);
}

wizard::Handle GtkToolkit::CreateEntry(wizard::Handle container, wizard::Rect rect) {
    GtkWidget* entry = gtk_entry_new();
    gtk_widget_set_name(entry, "setup-entry");
    gtk_widget_set_size_request(entry, rect.width, rect.height);
    return Place(container, entry, rect.x, rect.y);
}

wizard::Handle GtkToolkit::CreateProgressBar(wizard::Handle container, wizard::Rect rect) {
    GtkWidget* bar = gtk_progress_bar_new();
    gtk_widget_set_size_request(bar, rect.width, rect.height);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar), 0.0);
    return Place(container, bar, rect.x, rect.y);
}

void GtkToolkit::SetEnabled(wizard::Handle control, bool enabled) {
    gtk_widget_set_sensitive(GTK_WIDGET(control), enabled ? TRUE : FALSE);
}

void GtkToolkit::SetText(wizard::Handle control, const char* text) {
    if (GTK_IS_LABEL(control)) {
        gtk_label_set_text(GTK_LABEL(control), text);
        NameAfterCaption(GTK_WIDGET(control));
        return;
    }
    if (GTK_IS_BUTTON(control)) {
        gtk_button_set_label(GTK_BUTTON(control), text);
        FitCaption(GTK_WIDGET(control));
    }
}

// A caption wider than its fixed-size button is set in a slightly smaller
// font for that button only, step by step, rather than cut off.
void GtkToolkit::FitCaption(GtkWidget* button) {
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(button));
    if (!GTK_IS_LABEL(label)) {
        return;
    }
    int width = -1;
    gtk_widget_get_size_request(button, &width, nullptr);
    if (width <= 0) {
        return;
    }
    const int room = CaptionRoom(button, width);
    // Measured on a layout of its own: the label's layout follows a new font
    // only once the toolkit has restyled it.
    PangoFontDescription* font = CaptionFont(label);
    PangoLayout* layout =
        gtk_widget_create_pango_layout(label, gtk_label_get_text(GTK_LABEL(label)));
    int size = pango_font_description_get_size(font);
    bool shrunk = false;
    for (int step = 0; step < 8; ++step) {
        pango_layout_set_font_description(layout, font);
        int textWidth = 0;
        pango_layout_get_pixel_size(layout, &textWidth, nullptr);
        if (textWidth <= room || size <= 6 * PANGO_SCALE) {
            break;
        }
        size = size * 9 / 10;
        pango_font_description_set_size(font, size);
        shrunk = true;
    }
    gtk_widget_modify_font(label, shrunk ? font : nullptr);
    g_object_unref(layout);
    pango_font_description_free(font);
}

void GtkToolkit::SetEntryText(wizard::Handle entry, const char* text) {
    gtk_entry_set_text(GTK_ENTRY(entry), text);
}

stdx::string8 GtkToolkit::GetEntryText(wizard::Handle entry) {
    const gchar* text = gtk_entry_get_text(GTK_ENTRY(entry));
    return stdx::string8(text != nullptr ? text : "");
}

bool GtkToolkit::IsChecked(wizard::Handle checkBox) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(checkBox)) != FALSE;
}

// The progress page passes only changed values, already within 0..100.
void GtkToolkit::SetProgress(wizard::Handle bar, int percent) {
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar), percent / 100.0);
}

void GtkToolkit::SetDefaultButton(wizard::Handle window, wizard::Handle button) {
    gtk_widget_set_can_default(GTK_WIDGET(button), TRUE);
    gtk_window_set_default(GTK_WINDOW(window), GTK_WIDGET(button));
}

}  // namespace gtkfront
