// Whether a finished run closes the kit's image before it syncs the file
// system. The image is unnamed, so its pages then go unwritten and the sync
// writes only the installed files; but no file of that kit can be extracted
// afterwards. The dialog, whose finished run is its last, releases it; a
// caller that runs one opened kit again keeps it (the default).
#pragma once

namespace install {

enum class ImageAfterRun { kKept, kReleased };

}  // namespace install
