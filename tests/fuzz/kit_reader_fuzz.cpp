// libFuzzer target for the kit reader: arbitrary bytes go through
// InstallData::Open as the installer would see them, and every file the open
// accepts is extracted. Run under AddressSanitizer and UndefinedBehaviorSanitizer.
//
// The first input byte chooses what the rest is:
//   low bit 0 - the kit file itself (raw deflate, damaged or not);
//   low bit 1 - the inflated kit image; the target deflates it into a kit, so
//               the table reader sees the bytes exactly as given;
// and which inflate back end opens it: bit 1 clear - the build's (ISA-L where
// the build has it), set - zlib. So both back ends are fuzzed in one run.
// The seal:
//   bit 2 - the target appends a valid trailer with the digest of those kit
//           bytes, so the fuzzer reaches the tables through a seal;
//   bit 3 - that trailer is signed with the fuzzing key;
//   bit 4 - the open requires a signature by the fuzzing key (the fuzzing
//           key is always known to the open).
//
// Besides crashes it aborts when the reader breaks its own promises: a failed
// open that leaves files or a handle behind, an image file left in the
// temporary directory, an accepted name that could leave the template
// directory, an extracted file whose bytes differ from the image, or an open
// that required a signature and succeeded without a valid one.
//
// With KIT_FUZZ_WRITE_SEEDS=<dir> in the environment the program writes its
// seed corpus there (kit_fuzz_seeds.cpp) and exits instead of fuzzing.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_crypto.h"
#include "kit/kit_name.h"
#include "kit/kit_sealer.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "kit_fuzz_seeds.h"

namespace {

using Kit = InstallData<LZCompressor, FileSystem>;
using ZlibKit = InstallData<BasicLZCompressor<ZlibInflater>, FileSystem>;
using string16 = stdx::basic_string<char16_t>;

// Files larger than this are extracted but not compared byte for byte.
constexpr uint32_t kCompareLimit = 1 << 20;
constexpr size_t kMaxExtractions = 8;

std::string g_tempDir;  // TMPDIR while fuzzing: must be empty between inputs
std::string g_workDir;  // the kit file and the extraction target

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "kit_reader_fuzz: %s\n", what);
    std::abort();
}

std::string MakeDir(const std::string& base, const char* name) {
    std::string pattern = base + "/" + name + "XXXXXX";
    if (!mkdtemp(&pattern[0]))
        Broken("cannot create the fuzzing directories");
    return pattern;
}

void RemoveWorkDirs() {
    for (const std::string& dir : {g_workDir, g_tempDir}) {
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..")
                    unlink((dir + "/" + n).c_str());
            }
            closedir(d);
        }
        rmdir(dir.c_str());
    }
}

bool DirectoryIsEmpty(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d)
        return false;
    bool empty = true;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            empty = false;
    }
    closedir(d);
    return empty;
}

bool WriteAll(const std::string& path, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += size_t(n);
    }
    close(fd);
    return done == bytes.size();
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char chunk[65536];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, size_t(n));
    close(fd);
    return bytes;
}

string16 Path16(const std::string& path) {
    string16 out;
    if (!kit::Utf8ToUtf16(path, &out))
        Broken("work directory is not UTF-8");
    return out;
}

// The key that signs fuzzed kits: fixed, so that inputs replay.
kit::SecretKey FuzzingKey() {
    kit::SecretKey key;
    key.fill(0x42);
    return key;
}

// `kit` followed by a trailer with its digest, signed with the fuzzing key
// when `sign` is set.
std::string Sealed(const std::string& kit, bool sign) {
    const kit::SecretKey key = FuzzingKey();
    std::string trailer, error;
    if (!kit::MakeTrailerBytes(kit.size(), kit::Sha256Of(kit.data(), kit.size()),
                               sign ? &key : nullptr, &trailer, &error))
        Broken("cannot seal a kit");
    return kit + trailer;
}

// `bytes` as raw deflate stored blocks, built by hand: the image reaches the
// reader unchanged, and no compressor state is set up for every input.
std::string StoredDeflate(const std::string& bytes) {
    std::string out;
    size_t pos = 0;
    do {
        size_t n = bytes.size() - pos < 0xFFFF ? bytes.size() - pos : 0xFFFF;
        bool last = pos + n == bytes.size();
        const char header[5] = {char(last ? 1 : 0), char(n & 0xFF), char(n >> 8), char(~n & 0xFF),
                                char((~n >> 8) & 0xFF)};
        out.append(header, sizeof header);
        out.append(bytes, pos, n);
        pos += n;
    } while (pos < bytes.size());
    return out;
}

// Everything the installer and the dialog do with an opened kit.
template <class Kit>
void UseOpenedKit(Kit& kit, const std::string* image) {
    if (kit.imageHandle == kInvalidFileHandle)
        Broken("open succeeded without an image handle");
    string16 product, provider;
    kit.GetProductInfo(u"en", product, provider);
    kit.GetProductInfo(u"DE", product, provider);
    kit.GetDescriptionPath(u"ru");

    const std::string target = g_workDir + "/target";
    const string16 target16 = Path16(target);
    for (size_t i = 0; i < kit.files.size() && i < kMaxExtractions; ++i) {
        const config::FileData<FileSystem>& file = kit.files[i];
        if (!kit::IsSafeKitName(file.name))
            Broken("open accepted a name that leaves the template directory");
        // Extraction makes a new file: the previous one goes first.
        unlink(target.c_str());
        uint32_t rc = kit.ExtractFile(uint32_t(i), target16);
        if (rc != 0)
            continue;
        struct stat st;
        if (stat(target.c_str(), &st) != 0 || uint64_t(st.st_size) != file.size)
            Broken("extraction succeeded with the wrong size");
        // A file of size 0 has no bytes; its offset means nothing.
        if (!image || file.size == 0 || file.size > kCompareLimit)
            continue;
        // Success means the file's bytes lie inside the image.
        if (uint64_t(file.offset) + file.size > image->size())
            Broken("extraction succeeded past the end of the image");
        if (ReadAll(target) != image->substr(file.offset, file.size))
            Broken("extracted bytes differ from the image");
    }
}

template <class Kit>
void OpenAndUse(const std::string& kitPath, const std::string* image, bool requireSignature) {
    Kit kit;
    kit::PublicKey known{};
    if (!kit::PublicKeyOf(FuzzingKey(), &known))
        Broken("cannot derive the fuzzing key");
    kit.trust.keys.push_back(known);
    if (requireSignature)
        kit.trust.policy = kit::SignaturePolicy::kRequireKnownKey;
    if (kit.Open(Path16(kitPath)) == 0) {
        if (requireSignature && kit.seal.state != kit::SealState::kSignedKnownKey)
            Broken("open required a signature and succeeded without one");
        UseOpenedKit(kit, image);
        return;
    }
    if (!kit.files.empty())
        Broken("failed open left entries in files");
    if (kit.imageHandle != kInvalidFileHandle)
        Broken("failed open left the image handle open");
    if (!DirectoryIsEmpty(g_tempDir))
        Broken("failed open left the image file behind");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seedDir = std::getenv("KIT_FUZZ_WRITE_SEEDS"))
        std::exit(WriteKitFuzzSeeds(seedDir) ? 0 : 1);
    // KIT_FUZZ_DIR: where the script wants the scratch files (it removes them
    // even after a crash). Else memory-backed when available: every input
    // writes and reads real files.
    std::string base;
    if (const char* dir = std::getenv("KIT_FUZZ_DIR")) {
        base = dir;
    } else {
        struct stat st;
        base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    }
    g_tempDir = MakeDir(base, "kitfuzz-tmp");
    g_workDir = MakeDir(base, "kitfuzz-work");
    setenv("TMPDIR", g_tempDir.c_str(), 1);
    std::atexit(RemoveWorkDirs);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool asImage = (data[0] & 1) != 0;
    const std::string payload(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string kitPath = g_workDir + "/kelda.efd";
    std::string kitBytes = asImage ? StoredDeflate(payload) : payload;
    if ((data[0] & 4) != 0)
        kitBytes = Sealed(kitBytes, (data[0] & 8) != 0);
    if (!WriteAll(kitPath, kitBytes))
        Broken("cannot write the kit file");
    const bool require = (data[0] & 16) != 0;
    if ((data[0] & 2) != 0) {
        OpenAndUse<ZlibKit>(kitPath, asImage ? &payload : nullptr, require);
    } else {
        OpenAndUse<Kit>(kitPath, asImage ? &payload : nullptr, require);
    }
    if (!DirectoryIsEmpty(g_tempDir))
        Broken("the image file outlived its InstallData");
    return 0;
}
