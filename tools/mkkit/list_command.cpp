// mkkit list: opens a kit exactly as the installer does and prints its tables
// and its seal. Also the opening that the seal commands share.
#include <cstdio>
#include <ctime>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_name.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "mkkit/commands.h"
#include "text/string_util.h"

namespace {

std::string Text(const stdx::basic_string<char16_t>& s) {
    return kit::Utf16ToUtf8(s);
}

// A kit name as the installer shows it: "/" between folders, not the kit's "\".
std::string Name(const stdx::basic_string<char16_t>& s) {
    std::string name = Text(s);
    for (char& c : name) {
        if (c == '\\')
            c = '/';
    }
    return name;
}

std::string Time(uint64_t fileTime) {
    time_t seconds = time_t(kit::UnixFromFileTime(fileTime));
    struct tm utc;
    char out[32] = "?";
    if (gmtime_r(&seconds, &utc))
        std::strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", &utc);
    return out;
}

}  // namespace

uint32_t OpenKit(const std::string& kitPath, ToolKit& kit) {
    const stdx::string8 native(kitPath.c_str());
    stdx::basic_string<char16_t> path;
    // widen stops at the first byte the locale cannot decode: the prefix
    // names another file (often another kit beside it).
    if (!stdx::widen_exact(native, path) || path.empty()) {
        std::fprintf(stderr, "mkkit: %s: path cannot be converted in this locale\n",
                     kitPath.c_str());
        return fserror::kInvalidParameter;
    }
    uint32_t rc = kit.Open(path);
    if (rc == 0 || rc == kit::kNotSigned)
        return rc;
    const char* why = rc == fserror::kFileNotFound  ? "no such file"
                      : rc == fserror::kInvalidData ? "damaged or not a kit"
                      : rc == fserror::kCannotWrite
                          ? "cannot create the image in the temporary directory"
                          : "cannot be read";
    std::fprintf(stderr, "mkkit: %s: cannot open kit (error %u: %s)\n", kitPath.c_str(), rc, why);
    return rc;
}

std::string DescribeSeal(const kit::SealReport& seal) {
    switch (seal.state) {
        case kit::SealState::kNone:
            return "no trailer (no digest, no signature)";
        case kit::SealState::kDigest:
            return "digest ok, not signed";
        case kit::SealState::kSignedUnknownKey:
            return "digest ok, signed by key " + kit::ToHex(seal.keyId) +
                   " (signature not checked)";
        case kit::SealState::kSignedKnownKey:
            return "digest ok, signature ok by key " + kit::ToHex(seal.keyId);
    }
    return std::string();
}

int RunList(const std::string& kitPath) {
    ToolKit kit;
    if (OpenKit(kitPath, kit) != 0)
        return 1;
    for (const config::ProductInfo& p : kit.products) {
        std::printf("description %s: product \"%s\", provider \"%s\", document \"%s\"\n",
                    Text(p.language).c_str(), Text(p.product).c_str(), Text(p.provider).c_str(),
                    Name(p.description).c_str());
    }
    for (const config::FileData<FileSystem>& f : kit.files) {
        std::printf("%10u %s %s\n", f.size, Time(f.time).c_str(), Name(f.name).c_str());
    }
    std::printf("seal: %s\n", DescribeSeal(kit.seal).c_str());
    return 0;
}
