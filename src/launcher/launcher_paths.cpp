// Launcher file locations and default directories under the home directory.
#include "launcher/launcher_paths.h"

#include <wordexp.h>

#include "text/string_util.h"

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
