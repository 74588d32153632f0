// Reading and writing mkkit's key files (format in key_files.h).
#include "mkkit/key_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const char kSecretTag[] = "kit-secret-key";
const char kPublicTag[] = "kit-public-key";
const char kAlgorithm[] = "ed25519";

bool CreateExclusive(const std::string& path, mode_t mode, const std::string& text,
                     std::string* error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    // The mode is set explicitly: a umask could only narrow it, but a
    // secret key must never be wider than 0600.
    bool ok =
        ::fchmod(fd, mode) == 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(path.c_str());
    }
    return ok;
}

bool ReadKeyFile(const std::string& path, const char* tag, uint8_t* out, size_t size,
                 std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string line, word, algorithm, hex, rest;
    std::getline(in, line);
    std::istringstream fields(line);
    fields >> word >> algorithm >> hex;
    if (word != tag || algorithm != kAlgorithm || (fields >> rest) ||
        !kit::FromHex(hex, out, size)) {
        *error = path + ": not a " + std::string(tag) + " file (\"" + tag + " " + kAlgorithm +
                 " <64 hex digits>\")";
        return false;
    }
    return true;
}

}  // namespace

bool WriteKeyFiles(const std::string& base, const kit::SecretKey& secret, const kit::PublicKey& pub,
                   std::string* error) {
    const std::string secretPath = base + ".sec";
    const std::string publicPath = base + ".pub";
    if (::access(secretPath.c_str(), F_OK) == 0 || ::access(publicPath.c_str(), F_OK) == 0) {
        *error = base + ".sec or " + base + ".pub exists; key files are never overwritten";
        return false;
    }
    if (!CreateExclusive(
            secretPath, 0600,
            std::string(kSecretTag) + " " + kAlgorithm + " " + kit::ToHex(secret) + "\n", error))
        return false;
    if (!CreateExclusive(publicPath, 0644,
                         std::string(kPublicTag) + " " + kAlgorithm + " " + kit::ToHex(pub) + "\n",
                         error)) {
        ::unlink(secretPath.c_str());
        return false;
    }
    return true;
}

bool ReadSecretKeyFile(const std::string& path, kit::SecretKey* key, std::string* error) {
    return ReadKeyFile(path, kSecretTag, key->data(), key->size(), error);
}

bool ReadPublicKeyFile(const std::string& path, kit::PublicKey* key, std::string* error) {
    return ReadKeyFile(path, kPublicTag, key->data(), key->size(), error);
}
