// What the GTK 2 and GTK 3 modules do differently, behind one set of
// functions that the shared toolkit sources call: the style that lets the
// captions fit their fixed-size buttons, the room a button leaves its
// caption, and the pictures (GTK 3 adds double-resolution ones for scale 2).
// src/gtk/gtk2_look.cpp and src/gtk3/gtk3_look.cpp implement it.
#pragma once
#include <gtk/gtk.h>

namespace gtkfront {

// Once, after gtk_init: the buttons' narrower padding.
void ApplyStyle();

// The width a button `width` pixels wide leaves its caption inside its
// borders, focus line and the frame a default button gets.
int CaptionRoom(GtkWidget* button, int width);

// The font of the label as its style gives it, without a font set on the
// label itself (which it drops). A new description, for the caller to free.
PangoFontDescription* CaptionFont(GtkWidget* label);

// The container of the wizard's controls, of the size it is given
// (gtk_widget_set_size_request) whatever its controls would like: a GTK 3
// window that cannot be resized takes its content's natural size, and a
// wrapping label's natural width is its whole text on one line.
GtkWidget* NewFixedContainer();

// The window icon, at every size the toolkit can use.
void SetWindowIcon(GtkWindow* window);

// The 158 x 286 side picture at scale 1: a new reference.
GdkPixbuf* LoadSidePictureAtScale1();

// An image control showing `picture` (from LoadSidePictureAtScale1), sharp
// at the scale of the screen it is on.
GtkWidget* NewPicture(GdkPixbuf* picture);

}  // namespace gtkfront
