// Emits the kit image in table order and streams it through a sink: a plain
// file, a raw deflate stream into a file, or memory.
#include "kit/kit_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "kit/kit_name.h"
#include "kit/kit_sealer.h"
#include "kit/replacing_file.h"

namespace kit {

namespace {

constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;
constexpr uint64_t kFileTimeTicksPerSecond = 10000000ULL;
constexpr uint64_t kMaxImage = 0x100000000ULL;  // every byte must be 32-bit addressable
constexpr size_t kChunk = 1 << 20;

void Fail(std::string* error, const std::string& message) {
    if (error)
        *error = message;
}

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

void PutUnits(std::string& out, const stdx::basic_string<char16_t>& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        out.push_back(char(s[i] & 0xFF));
        out.push_back(char(s[i] >> 8));
    }
}

void PutCounted(std::string& out, const stdx::basic_string<char16_t>& s) {
    PutU32(out, uint32_t(s.size()));
    PutUnits(out, s);
}

uint64_t CountedSize(const stdx::basic_string<char16_t>& s) {
    return 4 + 2 * uint64_t(s.size());
}

std::string Printable(const stdx::basic_string<char16_t>& name) {
    return Utf16ToUtf8(name);
}

}  // namespace

uint64_t FileTimeFromUnix(int64_t seconds) {
    return uint64_t(seconds) * kFileTimeTicksPerSecond + kFileTimeUnixEpoch;
}

int64_t UnixFromFileTime(uint64_t fileTime) {
    return int64_t(fileTime / kFileTimeTicksPerSecond) -
           int64_t(kFileTimeUnixEpoch / kFileTimeTicksPerSecond);
}

// Where the image bytes go.
class ImageSink {
  public:
    virtual ~ImageSink() = default;
    virtual bool Write(const char* data, size_t size, std::string* error) = 0;
    virtual bool Finish(std::string* error) = 0;
};

namespace {

class PlainFileSink : public ImageSink {
  public:
    explicit PlainFileSink(ReplacingFile& out) : out_(out) {}
    bool Write(const char* data, size_t size, std::string* error) override {
        return out_.Write(data, size, error);
    }
    bool Finish(std::string* error) override { return out_.Commit(error); }

  private:
    ReplacingFile& out_;
};

// The compressed stream goes to the file and through the digest; the seal,
// when one is wanted, follows the stream's final block.
class DeflateSink : public ImageSink {
  public:
    DeflateSink(ReplacingFile& out, int level, const SealSpec& seal = SealSpec())
        : out_(out), seal_(seal), buffer_(kChunk, '\0') {
        ok_ = deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~DeflateSink() override { deflateEnd(&stream_); }
    bool Write(const char* data, size_t size, std::string* error) override {
        // zlib counts input in 32 bits; feed large blocks in pieces.
        while (size > 0) {
            size_t piece = size < kChunk ? size : kChunk;
            if (!Pump(data, piece, Z_NO_FLUSH, error))
                return false;
            data += piece;
            size -= piece;
        }
        return true;
    }
    bool Finish(std::string* error) override {
        if (!Pump(nullptr, 0, Z_FINISH, error))
            return false;
        if (seal_.seal == Seal::kDigest) {
            Digest digest{};
            std::string trailer;
            if (!digest_.Finish(&digest) ||
                !MakeTrailerBytes(digest_.bytes(), digest, seal_.key, &trailer, error) ||
                !out_.Write(trailer.data(), trailer.size(), error))
                return false;
        }
        return out_.Commit(error);
    }

  private:
    bool Pump(const char* data, size_t size, int flush, std::string* error) {
        if (!ok_) {
            Fail(error, "cannot start the compressor (bad level?)");
            return false;
        }
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = uInt(size);
        int rc = Z_OK;
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(buffer_.data());
            stream_.avail_out = uInt(buffer_.size());
            rc = deflate(&stream_, flush);
            if (rc == Z_STREAM_ERROR) {
                Fail(error, "compressor failed");
                return false;
            }
            size_t produced = buffer_.size() - stream_.avail_out;
            if (produced == 0)
                continue;
            digest_.Update(buffer_.data(), produced);
            if (!out_.Write(buffer_.data(), produced, error))
                return false;
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        return true;
    }

    ReplacingFile& out_;
    SealSpec seal_;
    Sha256 digest_;
    std::string buffer_;
    z_stream stream_{};
    bool ok_ = false;
};

class MemorySink : public ImageSink {
  public:
    explicit MemorySink(std::string& out) : out_(out) {}
    bool Write(const char* data, size_t size, std::string*) override {
        out_.append(data, size);
        return true;
    }
    bool Finish(std::string*) override { return true; }

  private:
    std::string& out_;
};

// Streams a file's bytes into the sink, checking it still has the size that
// was recorded in the table.
bool CopyFileInto(ImageSink& sink, const KitFileEntry& entry, std::string& chunk,
                  std::string* error) {
    int fd = ::open(entry.sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(error, DescribeErrno("cannot read", entry.sourcePath));
        return false;
    }
    uint64_t total = 0;
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            Fail(error, DescribeErrno("cannot read", entry.sourcePath));
            ok = false;
            break;
        }
        if (n == 0)
            break;
        total += uint64_t(n);
        if (total > entry.size)
            break;
        if (!sink.Write(chunk.data(), size_t(n), error)) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok && total != entry.size) {
        Fail(error, entry.sourcePath + ": file changed size while the kit was written");
        ok = false;
    }
    return ok;
}

}  // namespace

void KitWriter::AddProduct(const config::ProductInfo& info, uint32_t padding) {
    products_.push_back(info);
    productPadding_.push_back(padding);
}

void KitWriter::AddFile(const stdx::basic_string<char16_t>& name, uint64_t time,
                        const std::string& bytes) {
    KitFileEntry entry;
    entry.name = name;
    entry.time = time;
    entry.size = bytes.size();
    entry.content = bytes;
    files_.push_back(entry);
}

bool KitWriter::AddDiskFile(const stdx::basic_string<char16_t>& name, const std::string& path,
                            std::string* error) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        Fail(error, DescribeErrno("cannot read", path));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(error, path + ": not a regular file");
        return false;
    }
    KitFileEntry entry;
    entry.name = name;
    int64_t mtime = int64_t(st.st_mtime);
    if (timeClamp_ && mtime > *timeClamp_)
        mtime = *timeClamp_;
    entry.time = FileTimeFromUnix(mtime);
    entry.size = uint64_t(st.st_size);
    entry.sourcePath = path;
    files_.push_back(entry);
    return true;
}

bool KitWriter::Validate(std::string* error) const {
    if (layoutWord_ == 0 && products_.size() != 1) {
        Fail(error, "the single-description layout needs exactly one product description");
        return false;
    }
    uint64_t total = 8;
    for (size_t i = 0; i < products_.size(); ++i) {
        const config::ProductInfo& p = products_[i];
        total += 4 + CountedSize(p.language) + CountedSize(p.product) + CountedSize(p.provider) +
                 CountedSize(p.description) + productPadding_[i];
    }
    for (const KitFileEntry& f : files_) {
        if (nameCheck_ == NameCheck::Enforce && !IsSafeKitName(f.name)) {
            Fail(error, "unsafe file name in kit: " + Printable(f.name));
            return false;
        }
        if (f.size > 0xFFFFFFFFULL) {
            Fail(error, Printable(f.name) + ": files of 4 GiB or more cannot be stored in a kit");
            return false;
        }
        total += 24 + 2 * uint64_t(f.name.size()) + f.recordPadding + f.size;
    }
    if (total > kMaxImage) {
        Fail(error, "the kit's content exceeds 4 GiB");
        return false;
    }
    return true;
}

bool KitWriter::Emit(ImageSink& sink, std::string* error) const {
    if (!Validate(error))
        return false;
    std::string tables;
    PutU32(tables, layoutWord_);
    if (layoutWord_ == 0) {
        const config::ProductInfo& p = products_.front();
        PutCounted(tables, p.product);
        PutCounted(tables, p.provider);
        PutCounted(tables, p.description);
    } else {
        PutU32(tables, uint32_t(products_.size()));
        for (size_t i = 0; i < products_.size(); ++i) {
            const config::ProductInfo& p = products_[i];
            uint64_t length = 4 + CountedSize(p.language) + CountedSize(p.product) +
                              CountedSize(p.provider) + CountedSize(p.description) +
                              productPadding_[i];
            PutU32(tables, uint32_t(length));
            PutCounted(tables, p.language);
            PutCounted(tables, p.product);
            PutCounted(tables, p.provider);
            PutCounted(tables, p.description);
            tables.append(productPadding_[i], '\0');
        }
    }
    PutU32(tables, uint32_t(files_.size()));
    uint64_t offset = 0;
    for (const KitFileEntry& f : files_) {
        PutU32(tables, uint32_t(24 + 2 * uint64_t(f.name.size()) + f.recordPadding));
        PutCounted(tables, f.name);
        PutU64(tables, f.time);
        PutU32(tables, uint32_t(offset));
        PutU32(tables, uint32_t(f.size));
        tables.append(f.recordPadding, '\0');
        offset += f.size;
    }
    if (!sink.Write(tables.data(), tables.size(), error))
        return false;
    std::string chunk(kChunk, '\0');
    for (const KitFileEntry& f : files_) {
        bool ok = f.sourcePath.empty() ? sink.Write(f.content.data(), f.content.size(), error)
                                       : CopyFileInto(sink, f, chunk, error);
        if (!ok)
            return false;
    }
    return sink.Finish(error);
}

bool KitWriter::WriteImage(const std::string& path, std::string* error) const {
    ReplacingFile out;
    if (!out.Open(path, error))
        return false;
    PlainFileSink sink(out);
    return Emit(sink, error);
}

bool KitWriter::WriteKit(const std::string& path, std::string* error) const {
    ReplacingFile out;
    if (!out.Open(path, error))
        return false;
    SealSpec seal;
    seal.seal = seal_;
    seal.key = signingKey_ ? &*signingKey_ : nullptr;
    DeflateSink sink(out, level_, seal);
    return Emit(sink, error);
}

std::string KitWriter::ImageBytes(std::string* error) const {
    std::string image;
    MemorySink sink(image);
    if (!Emit(sink, error))
        return std::string();
    return image;
}

bool WriteRawDeflate(const std::string& bytes, const std::string& path, int level,
                     std::string* error) {
    ReplacingFile out;
    if (!out.Open(path, error))
        return false;
    DeflateSink sink(out, level);
    return sink.Write(bytes.data(), bytes.size(), error) && sink.Finish(error);
}

std::string RawDeflate(const std::string& bytes, int level) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&stream, uLong(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    int rc = deflate(&stream, Z_FINISH);
    out.resize(rc == Z_STREAM_END ? stream.total_out : 0);
    deflateEnd(&stream);
    return out;
}

}  // namespace kit
