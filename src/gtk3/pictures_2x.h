// The two pictures at double resolution, for screens at scale 2: drawn from
// the same shapes as the pictures at scale 1 (tools/pictures), not enlarged.
#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace gtkfront {

// 512 x 512 window icon. A new reference each call.
GdkPixbuf* LoadWindowIcon2x();
// 316 x 572 side picture. A new reference each call.
GdkPixbuf* LoadSideBanner2x();

}  // namespace gtkfront
