// The two pictures compiled into the program, as GdkPixbufs.
#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace gtkfront {

// 256 x 256 window icon. A new reference each call.
GdkPixbuf* LoadWindowIcon();
// 158 x 286 side banner shown on the left of the wizard pages. A new
// reference each call.
GdkPixbuf* LoadSideBanner();

}  // namespace gtkfront
