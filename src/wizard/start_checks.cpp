// The path, space and proposal rules of the start-up checks.
#include "wizard/start_checks.h"

#include <limits>

#include "text/string_util.h"

namespace wizard {

namespace {

const char kKitFileName[] = "kelda.efd";
const char kBundleMarker[] = ".app/Contents/MacOS";
constexpr size_t kBundleMarkerLength = sizeof(kBundleMarker) - 1;

bool Contains(const stdx::string16& text, const char16_t* part) {
    return text.find(stdx::string16(part)) != stdx::string16::npos;
}

}  // namespace

stdx::string16 CleanProposedDirectory(stdx::string16 dir) {
    if (Contains(dir, u"http://") || Contains(dir, u"https://") || Contains(dir, u"ftp://")) {
        dir.clear();
    }
    size_t scheme = dir.find(stdx::string16(u"file://"));
    if (scheme != stdx::string16::npos) {
        dir.erase(scheme, 7);
    }
    stdx::replace_all(dir, stdx::string16(u"\n"), stdx::string16());
    stdx::replace_all(dir, stdx::string16(u"\r"), stdx::string16());
    return dir;
}

bool EnoughTempSpace(uint64_t kitSize, uint64_t freeBytes) {
    if (kitSize > std::numeric_limits<uint64_t>::max() / kTempSpaceFactor) {
        return false;
    }
    return kitSize * kTempSpaceFactor <= freeBytes;
}

stdx::string8 KitPathBesideExecutable(const stdx::string8& exePath,
                                      platform::ExecutableLayout layout) {
    if (exePath.empty()) {
        return stdx::string8();
    }
    size_t searchFrom = stdx::string8::npos;
    if (layout == platform::ExecutableLayout::kApplicationBundle &&
        exePath.size() >= kBundleMarkerLength) {
        size_t marker = exePath.rfind(stdx::string8(kBundleMarker));
        if (marker != stdx::string8::npos) {
            searchFrom = marker;
        }
    }
    size_t slash = exePath.rfind('/', searchFrom);
    stdx::string8 dir = slash == stdx::string8::npos ? exePath : exePath.substr(0, slash);
    return KitPathInDirectory(dir);
}

stdx::string8 KitPathInDirectory(const stdx::string8& dir) {
    stdx::string8 path = dir;
    path += "/";
    path += kKitFileName;
    return path;
}

}  // namespace wizard
