// Path checks that decide whether a run record may be acted on (see
// run_recovery.h).
#include "install/run_recovery.h"

namespace install {
namespace recoverydetail {
namespace {

// Every "/"-separated component of `rest` is non-empty, not "." or "..",
// and holds no U+0000.
bool ComponentsAreClean(const stdx::string16& rest) {
    size_t start = 0;
    for (;;) {
        const size_t slash = rest.find(u'/', start);
        const stdx::string16 part = rest.substr(
            start, slash == stdx::string16::npos ? stdx::string16::npos : slash - start);
        if (part.empty() || part == u"." || part == u".." ||
            part.find(u'\0') != stdx::string16::npos) {
            return false;
        }
        if (slash == stdx::string16::npos) {
            return true;
        }
        start = slash + 1;
    }
}

}  // namespace

bool IsCleanDirectory(const stdx::string16& dir) {
    if (dir.size() < 2 || dir.front() != u'/' || dir.back() != u'/') {
        return false;
    }
    return ComponentsAreClean(dir.substr(1, dir.size() - 2));
}

bool IsBelow(const stdx::string16& dir, const stdx::string16& path) {
    if (path.size() <= dir.size() || path.substr(0, dir.size()) != dir) {
        return false;
    }
    return ComponentsAreClean(path.substr(dir.size()));
}

bool IsDirectoryOrAncestor(const stdx::string16& dir, const stdx::string16& path) {
    if (path.empty() || path.back() == u'/' || path.size() >= dir.size()) {
        return false;
    }
    return dir.substr(0, path.size()) == path && dir[path.size()] == u'/';
}

stdx::string16 StagingNameOfRecord(const stdx::string16& recordName) {
    const stdx::string16 prefix = u"kvtmp";
    const stdx::string16 suffix = u".journal";
    if (recordName.size() <= prefix.size() + suffix.size() ||
        recordName.substr(0, prefix.size()) != prefix ||
        recordName.substr(recordName.size() - suffix.size()) != suffix) {
        return stdx::string16();
    }
    const stdx::string16 digits =
        recordName.substr(prefix.size(), recordName.size() - prefix.size() - suffix.size());
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') {
            return stdx::string16();
        }
    }
    return prefix + digits;
}

}  // namespace recoverydetail
}  // namespace install
