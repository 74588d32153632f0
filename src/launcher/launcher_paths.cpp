// Launcher file locations and default directories under the home directory.
#include "launcher/launcher_paths.h"

#include <pwd.h>
#include <unistd.h>
#include <wordexp.h>

#include <vector>

#include "text/string_util.h"

namespace {

// The home directory of the user running the program, from the password
// database; empty when it has none.
stdx::string8 PasswordDatabaseHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return stdx::string8();
    }
    return stdx::string8(found->pw_dir);
}

}  // namespace

stdx::string16 HomeDirectory() {
    wordexp_t words;
    const int rc = wordexp("~", &words, 0);
    stdx::string8 home;
    if (rc == 0) {
        if (words.we_wordc > 0)
            home = stdx::string8(words.we_wordv[0]);
        wordfree(&words);
    } else if (rc == WRDE_NOSPACE) {
        wordfree(&words);  // the partial expansion
    }
    // An empty HOME is no home: the paths would start at the root directory.
    // Ask the password database, as an unset HOME does.
    if (home.empty())
        home = PasswordDatabaseHome();
    stdx::string16 wide;
    // A home the locale cannot represent would come back as its decodable
    // prefix, which names another directory (another user's home, even):
    // treat it as a failed expansion.
    if (!stdx::widen_exact(home, wide))
        return stdx::string16();
    return wide;
}

stdx::string16 ProductUserDirectory() {
    return HomeDirectory() + stdx::string16(u"/") + stdx::string16(u".kelda") +
           stdx::string16(u"/");
}

stdx::string16 DefaultProductDirectory() {
    return ProductUserDirectory() + stdx::string16(u"KV") + stdx::string16(u"/") +
           stdx::string16(u"kelda") + stdx::string16(u"/");
}

stdx::string16 DefaultTemplateDirectory() {
    return DefaultProductDirectory() + stdx::string16(u"tmplts") + stdx::string16(u"/");
}

stdx::string16 PrimaryLauncherFile() {
    return HomeDirectory() + stdx::string16(u"/") + stdx::string16(u".KV/kvlaunch") +
           stdx::string16(u"/") + stdx::string16(u"kvlaunch.cfg");
}

stdx::string16 SecondaryLauncherFile() {
    return HomeDirectory() + stdx::string16(u"/") + stdx::string16(u".KV/kvlauncht") +
           stdx::string16(u"/") + stdx::string16(u"kvlaunch.cfg");
}

stdx::string16 ProductLauncherFile() {
    return HomeDirectory() + stdx::string16(u"/") + stdx::string16(u".kelda") +
           stdx::string16(u"/") + stdx::string16(u".KV/kvlaunch") + stdx::string16(u"/") +
           stdx::string16(u"kvlaunch.cfg");
}

stdx::string16 DirectoryOfFile(const stdx::string16& path) {
    const size_t cut = path.find_last_of(stdx::string16(u"/\\"));
    if (cut == stdx::string16::npos)
        return stdx::string16();
    return path.substr(0, cut);
}
