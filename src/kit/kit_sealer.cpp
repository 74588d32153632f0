// Trailer bytes and the signing of an existing kit.
#include "kit/kit_sealer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "kit/kit_trailer.h"
#include "kit/replacing_file.h"

namespace kit {

namespace {

void Fail(std::string* error, const std::string& message) {
    if (error)
        *error = message;
}

}  // namespace

bool MakeTrailerBytes(uint64_t covered, const Digest& digest, const SecretKey* key,
                      std::string* out, std::string* error) {
    KitTrailer trailer;
    trailer.coveredLength = covered;
    trailer.digest = digest;
    if (key) {
        PublicKey pub{};
        if (!PublicKeyOf(*key, &pub)) {
            Fail(error, "the secret key is not a usable Ed25519 key");
            return false;
        }
        trailer.isSigned = true;
        trailer.keyId = KeyIdOf(pub);
        if (!Sign(*key, SignedMessage(trailer), &trailer.signature)) {
            Fail(error, "signing failed");
            return false;
        }
    }
    *out = SerializeTrailer(trailer);
    return true;
}

bool SignKitFile(const std::string& path, uint64_t covered, const SecretKey& key,
                 std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(error, DescribeErrno("cannot read", path));
        return false;
    }
    struct stat st;
    ReplacingFile out;
    bool ok = ::fstat(fd, &st) == 0 && out.Open(path, error, st.st_mode & 07777);
    // The stream is copied and hashed in one pass; the trailer follows it.
    Sha256 digest;
    std::vector<char> chunk(1 << 20);
    for (uint64_t left = covered; ok && left > 0;) {
        size_t want = left < chunk.size() ? size_t(left) : chunk.size();
        ssize_t n = ::read(fd, chunk.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(error,
                 n == 0 ? path + ": shorter than its stream" : DescribeErrno("cannot read", path));
            ok = false;
            break;
        }
        digest.Update(chunk.data(), size_t(n));
        ok = out.Write(chunk.data(), size_t(n), error);
        left -= uint64_t(n);
    }
    ::close(fd);
    Digest sum{};
    std::string trailer;
    if (ok && !digest.Finish(&sum)) {
        Fail(error, "cannot compute the digest");
        ok = false;
    }
    return ok && MakeTrailerBytes(covered, sum, &key, &trailer, error) &&
           out.Write(trailer.data(), trailer.size(), error) && out.Commit(error);
}

}  // namespace kit
