// Reading and writing the kit's trailer (layout in kit/kit_trailer.h).
#include "kit/kit_trailer.h"

#include <cstring>

namespace kit {

const char kTrailerMagic[8] = {'E', 'F', 'D', 'S', 'E', 'A', 'L', 0x1A};
const char kFooterMagic[8] = {'E', 'F', 'D', 'S', 'E', 'N', 'D', 0x1A};

namespace {

constexpr uint32_t kFlagSigned = 1;

uint32_t Load16(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t Load32(const unsigned char* p) {
    return Load16(p) | Load16(p + 2) << 16;
}

uint64_t Load64(const unsigned char* p) {
    return uint64_t(Load32(p)) | uint64_t(Load32(p + 4)) << 32;
}

void Put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

template <size_t N>
void PutBytes(std::string& out, const std::array<uint8_t, N>& bytes) {
    out.append(reinterpret_cast<const char*>(bytes.data()), N);
}

template <size_t N>
void Copy(const unsigned char* from, std::array<uint8_t, N>* to) {
    std::memcpy(to->data(), from, N);
}

// Bytes 0..63: everything but the signature and the footer.
std::string SignedPart(const KitTrailer& trailer) {
    std::string out(kTrailerMagic, sizeof kTrailerMagic);
    Put(out, kTrailerVersion, 2);
    Put(out, trailer.isSigned ? kFlagSigned : 0, 2);
    Put(out, trailer.size(), 4);
    Put(out, trailer.coveredLength, 8);
    PutBytes(out, trailer.digest);
    if (trailer.isSigned)
        PutBytes(out, trailer.keyId);
    return out;
}

}  // namespace

uint32_t FooterTrailerSize(const unsigned char* footer) {
    if (std::memcmp(footer + 4, kFooterMagic, sizeof kFooterMagic) != 0)
        return 0;
    return Load32(footer);
}

TrailerParse ParseTrailer(const unsigned char* bytes, uint32_t size, uint64_t fileLength,
                          KitTrailer* trailer) {
    if (size != kUnsignedTrailerSize && size != kSignedTrailerSize)
        return TrailerParse::kMalformed;
    if (fileLength < size || std::memcmp(bytes, kTrailerMagic, sizeof kTrailerMagic) != 0)
        return TrailerParse::kMalformed;
    const uint32_t flags = Load16(bytes + 10);
    const bool isSigned = flags == kFlagSigned;
    if (Load16(bytes + 8) != kTrailerVersion || (flags != 0 && !isSigned))
        return TrailerParse::kMalformed;
    if (size != (isSigned ? kSignedTrailerSize : kUnsignedTrailerSize) ||
        Load32(bytes + 12) != size || Load32(bytes + size - kFooterSize) != size ||
        std::memcmp(bytes + size - 8, kFooterMagic, sizeof kFooterMagic) != 0)
        return TrailerParse::kMalformed;
    trailer->coveredLength = Load64(bytes + 16);
    if (trailer->coveredLength != fileLength - size)
        return TrailerParse::kMalformed;
    Copy(bytes + 24, &trailer->digest);
    trailer->isSigned = isSigned;
    if (isSigned) {
        Copy(bytes + 56, &trailer->keyId);
        Copy(bytes + 64, &trailer->signature);
    }
    return TrailerParse::kFound;
}

bool LooksLikeTrailerStart(const unsigned char* bytes, uint32_t size) {
    uint32_t n = size < sizeof kTrailerMagic ? size : uint32_t(sizeof kTrailerMagic);
    return n > 0 && std::memcmp(bytes, kTrailerMagic, n) == 0;
}

std::string SerializeTrailer(const KitTrailer& trailer) {
    std::string out = SignedPart(trailer);
    if (trailer.isSigned)
        PutBytes(out, trailer.signature);
    Put(out, trailer.size(), 4);
    out.append(kFooterMagic, sizeof kFooterMagic);
    return out;
}

std::string SignedMessage(const KitTrailer& trailer) {
    std::string part = SignedPart(trailer);
    part.resize(kSignedPartSize, '\0');
    return part;
}

}  // namespace kit
