#include "support/sandbox.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {
int remove_entry(const char* p, const struct stat*, int, struct FTW*) {
    ::remove(p);
    return 0;
}
}  // namespace

void remove_tree(const std::string& path) {
    if (path.empty())
        return;
    nftw(path.c_str(), remove_entry, 32, FTW_DEPTH | FTW_PHYS);
}

Sandbox::Sandbox() {
    const char* tmp = getenv("TMPDIR");
    std::string base = (tmp && *tmp) ? tmp : "/tmp";
    std::string templ = base + "/sandbox.XXXXXX";
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("cannot create sandbox in " + base);
    root_ = templ;
    // The installer keeps records in the user's state directory: never the
    // real one of whoever runs the tests.
    const char* state = getenv("XDG_STATE_HOME");
    hadState_ = state != nullptr;
    oldState_ = hadState_ ? state : "";
    setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
}

Sandbox::~Sandbox() {
    if (hadState_)
        setenv("XDG_STATE_HOME", oldState_.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
    // Tests may leave read-only directories behind; make them removable first.
    nftw(
        root_.c_str(),
        [](const char* p, const struct stat* st, int type, struct FTW*) {
            if (type == FTW_D || type == FTW_DP)
                chmod(p, (st->st_mode & 07777) | S_IRWXU);
            return 0;
        },
        32, FTW_PHYS);
    remove_tree(root_);
}

stdx::basic_string<char16_t> Sandbox::at16(const std::string& rel) const {
    return u16(at(rel));
}

void Sandbox::mkdirs(const std::string& rel) const {
    std::string p = root_;
    std::stringstream ss(rel);
    std::string part;
    while (std::getline(ss, part, '/')) {
        if (part.empty())
            continue;
        p += "/" + part;
        mkdir(p.c_str(), 0755);
    }
}

void Sandbox::write(const std::string& rel, const std::string& content) const {
    auto slash = rel.rfind('/');
    if (slash != std::string::npos)
        mkdirs(rel.substr(0, slash));
    std::ofstream out(at(rel), std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + at(rel));
}

std::string Sandbox::read(const std::string& absPath) {
    std::ifstream in(absPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool Sandbox::exists(const std::string& absPath) {
    struct stat st;
    return lstat(absPath.c_str(), &st) == 0;
}

stdx::basic_string<char16_t> u16(const std::string& s) {
    stdx::basic_string<char16_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        char32_t cp;
        int n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1f;
            n = 2;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0f;
            n = 3;
        } else {
            cp = c & 0x07;
            n = 4;
        }
        for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3f);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xd800 + (cp >> 10)));
            out.push_back(char16_t(0xdc00 + (cp & 0x3ff)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string utf8(const stdx::basic_string<char16_t>& t) {
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        char32_t cp = t[i];
        if (cp >= 0xd800 && cp < 0xdc00 && i + 1 < t.size()) {
            cp = 0x10000 + ((cp - 0xd800) << 10) + (t[i + 1] - 0xdc00);
            ++i;
        }
        if (cp < 0x80)
            out += char(cp);
        else if (cp < 0x800) {
            out += char(0xc0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3f));
        } else if (cp < 0x10000) {
            out += char(0xe0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        } else {
            out += char(0xf0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3f));
            out += char(0x80 | ((cp >> 6) & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        }
    }
    return out;
}

}  // namespace testing_support
