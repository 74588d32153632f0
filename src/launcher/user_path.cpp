// Typed directories made absolute: "~" expansion and the working directory.
#include "launcher/user_path.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "launcher/launcher_paths.h"
#include "text/string_util.h"

namespace {

// Drops "." parts and empty parts between separators; keeps the leading and
// the trailing "/".
stdx::string16 DropDotParts(const stdx::string16& path) {
    stdx::string16 out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'/', start);
        if (end == stdx::string16::npos) {
            end = path.size();
        }
        const stdx::string16 part = path.substr(start, end - start);
        if (!part.empty() && part != u".") {
            out += u"/";
            out += part;
        }
        start = end + 1;
    }
    if (out.empty() || (path.back() == u'/' && out.back() != u'/')) {
        out += u"/";
    }
    return out;
}

}  // namespace

stdx::string16 ExpandUserPathIn(const stdx::string16& typed, const stdx::string16& home,
                                const stdx::string16& workingDir) {
    if (typed.empty()) {
        return stdx::string16();
    }
    stdx::string16 path;
    if (typed == u"~" || typed.substr(0, 2) == u"~/") {
        if (home.empty() || home[0] != u'/') {
            return stdx::string16();
        }
        path = home + u"/" + typed.substr(1);
    } else if (typed[0] == u'/') {
        path = typed;
    } else {
        if (workingDir.empty() || workingDir[0] != u'/') {
            return stdx::string16();
        }
        path = workingDir + u"/" + typed;
    }
    return DropDotParts(path);
}

stdx::string16 CurrentWorkingDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            break;
        }
        if (errno != ERANGE) {
            return stdx::string16();
        }
        buffer.resize(buffer.size() * 2);
    }
    stdx::string16 wide;
    if (!stdx::widen_exact(stdx::string8(buffer.data()), wide)) {
        return stdx::string16();
    }
    return wide;
}

stdx::string16 ExpandUserPath(const stdx::string16& typed) {
    if (typed.empty()) {
        return stdx::string16();
    }
    // Only what the text needs is looked up: a failed lookup of the other
    // must not refuse it.
    const bool wantsHome = typed == u"~" || typed.substr(0, 2) == u"~/";
    const bool wantsCwd = !wantsHome && typed[0] != u'/';
    return ExpandUserPathIn(typed, wantsHome ? HomeDirectory() : stdx::string16(),
                            wantsCwd ? CurrentWorkingDirectory() : stdx::string16());
}
