// The GTK 2 side of gtk/gtk_look.h: an rc style, the button's style
// properties, and the pictures at their one size (GTK 2 has no scale).
#include "gtk/gtk_look.h"
#include "gtk/pictures.h"

namespace gtkfront {

namespace {

// The buttons are 80 pixels wide; with GTK's default padding, longer
// captions such as the German "Abbrechen" would be cut. These buttons keep
// less padding around their captions.
const char kButtonStyle[] =
    "style \"setup-button\" {\n"
    "  GtkButton::inner-border = { 0, 0, 1, 1 }\n"
    "  xthickness = 1\n"
    "  GtkWidget::focus-padding = 0\n"
    "}\n"
    "widget \"*.setup-button\" style \"setup-button\"\n";

}  // namespace

void ApplyStyle() {
    gtk_rc_parse_string(kButtonStyle);
}

int CaptionRoom(GtkWidget* button, int width) {
    gint focusWidth = 0;
    gint focusPad = 0;
    GtkBorder* inner = nullptr;
    GtkBorder* defaultBorder = nullptr;
    gtk_widget_style_get(button, "focus-line-width", &focusWidth, "focus-padding", &focusPad,
                         "inner-border", &inner, "default-border", &defaultBorder, nullptr);
    int room = width - 2 * (gtk_widget_get_style(button)->xthickness + focusWidth + focusPad) -
               2 * int(gtk_container_get_border_width(GTK_CONTAINER(button)));
    if (inner != nullptr) {
        room -= inner->left + inner->right;
        gtk_border_free(inner);
    }
    room -= defaultBorder != nullptr ? defaultBorder->left + defaultBorder->right : 2;
    if (defaultBorder != nullptr) {
        gtk_border_free(defaultBorder);
    }
    return room;
}

PangoFontDescription* CaptionFont(GtkWidget* label) {
    gtk_widget_modify_font(label, nullptr);
    gtk_widget_ensure_style(label);
    return pango_font_description_copy(gtk_widget_get_style(label)->font_desc);
}

// GTK 2 sizes the window by its hints, which the toolkit sets to the
// window's size.
GtkWidget* NewFixedContainer() {
    return gtk_fixed_new();
}

void SetWindowIcon(GtkWindow* window) {
    GdkPixbuf* icon = LoadWindowIcon();
    gtk_window_set_icon(window, icon);
    g_object_unref(icon);
}

GdkPixbuf* LoadSidePictureAtScale1() {
    return LoadSideBanner();
}

GtkWidget* NewPicture(GdkPixbuf* picture) {
    return gtk_image_new_from_pixbuf(picture);
}

}  // namespace gtkfront
