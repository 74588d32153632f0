// The GTK 3 side of gtk/gtk_look.h: a CSS style that keeps the controls
// within the wizard's fixed layout, the button's padding and border from its
// style context, and pictures that follow the window's scale: at scale 2 the
// double-resolution ones, drawn pixel for pixel.
#include "gtk/gtk_look.h"
#include "gtk/pictures.h"
#include "gtk3/pictures_2x.h"

namespace gtkfront {

namespace {

// The layout gives buttons and entries 30 pixels of height and the buttons
// 80 of width: the theme's minimum heights and wide paddings would push them
// past that and cut longer captions such as the German "Abbrechen". The
// separator fills the 5 pixels it is given: its margins leave the line.
// The default button (Return) is framed, as GTK 2 frames it.
const char kStyle[] =
    "#setup-button { padding: 0 2px; min-height: 0; min-width: 0; }\n"
    "#setup-button.default { border-color: #1c71d8; }\n"
    "#setup-entry { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "#setup-separator { margin-top: 2px; margin-bottom: 2px; }\n";

// On an image and on the plain picture: the double-resolution picture. On
// the double-resolution picture: the plain one.
const char kDoubleKey[] = "setup-picture-2x";
const char kPlainKey[] = "setup-picture-1x";

// Shows the picture for the image's current scale: the double-resolution
// one as a surface of scale 2 from scale 2 on, the plain one below.
void ShowAtScale(GtkWidget* image) {
    auto* picture = static_cast<GdkPixbuf*>(g_object_get_data(G_OBJECT(image), kDoubleKey));
    if (picture == nullptr) {
        return;
    }
    const int scale = gtk_widget_get_scale_factor(image);
    if (scale < 2) {
        auto* plain = static_cast<GdkPixbuf*>(g_object_get_data(G_OBJECT(picture), kPlainKey));
        gtk_image_set_from_pixbuf(GTK_IMAGE(image), plain);
        return;
    }
    cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(picture, 2, nullptr);
    gtk_image_set_from_surface(GTK_IMAGE(image), surface);
    cairo_surface_destroy(surface);
}

void OnScaleChanged(GtkWidget* image, GParamSpec*, gpointer) {
    ShowAtScale(image);
}

// A GtkFixed that wants exactly its size request, minimum and natural.
struct SetupFixed {
    GtkFixed parent;
};
struct SetupFixedClass {
    GtkFixedClass parentClass;
};

G_DEFINE_TYPE(SetupFixed, setup_fixed, GTK_TYPE_FIXED)

void SetupFixedWidth(GtkWidget* widget, gint* minimum, gint* natural) {
    gint width = 0;
    gtk_widget_get_size_request(widget, &width, nullptr);
    *minimum = *natural = width > 0 ? width : 0;
}

void SetupFixedHeight(GtkWidget* widget, gint* minimum, gint* natural) {
    gint height = 0;
    gtk_widget_get_size_request(widget, nullptr, &height);
    *minimum = *natural = height > 0 ? height : 0;
}

void setup_fixed_class_init(SetupFixedClass* type) {
    GtkWidgetClass* widget = GTK_WIDGET_CLASS(type);
    widget->get_preferred_width = SetupFixedWidth;
    widget->get_preferred_height = SetupFixedHeight;
}

void setup_fixed_init(SetupFixed*) {}

}  // namespace

void ApplyStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

int CaptionRoom(GtkWidget* button, int width) {
    GtkStyleContext* style = gtk_widget_get_style_context(button);
    const GtkStateFlags state = gtk_widget_get_state_flags(button);
    GtkBorder padding = {};
    GtkBorder border = {};
    gtk_style_context_get_padding(style, state, &padding);
    gtk_style_context_get_border(style, state, &border);
    return width - padding.left - padding.right - border.left - border.right;
}

PangoFontDescription* CaptionFont(GtkWidget* label) {
    gtk_widget_override_font(label, nullptr);
    PangoFontDescription* font = nullptr;
    gtk_style_context_get(gtk_widget_get_style_context(label), gtk_widget_get_state_flags(label),
                          GTK_STYLE_PROPERTY_FONT, &font, nullptr);
    return font;
}

GtkWidget* NewFixedContainer() {
    return GTK_WIDGET(g_object_new(setup_fixed_get_type(), nullptr));
}

void SetWindowIcon(GtkWindow* window) {
    GList* icons = nullptr;
    icons = g_list_append(icons, LoadWindowIcon());
    icons = g_list_append(icons, LoadWindowIcon2x());
    gtk_window_set_icon_list(window, icons);
    g_list_free_full(icons, g_object_unref);
}

// The double-resolution picture hangs on the plain one, so that the two go
// together wherever the toolkit hands the plain one on.
GdkPixbuf* LoadSidePictureAtScale1() {
    GdkPixbuf* plain = LoadSideBanner();
    g_object_set_data_full(G_OBJECT(plain), kDoubleKey, LoadSideBanner2x(), g_object_unref);
    return plain;
}

GtkWidget* NewPicture(GdkPixbuf* picture) {
    GtkWidget* image = gtk_image_new_from_pixbuf(picture);
    auto* doubled = static_cast<GdkPixbuf*>(g_object_get_data(G_OBJECT(picture), kDoubleKey));
    if (doubled == nullptr) {
        return image;
    }
    // The image keeps the double one and a way back to the plain one.
    g_object_set_data_full(G_OBJECT(image), kDoubleKey, g_object_ref(doubled), g_object_unref);
    g_object_set_data(G_OBJECT(doubled), kPlainKey, picture);
    g_signal_connect(image, "notify::scale-factor", G_CALLBACK(OnScaleChanged), nullptr);
    ShowAtScale(image);
    return image;
}

}  // namespace gtkfront
