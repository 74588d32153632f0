// Builds distribution kits: a raw deflate stream whose inflated image holds the
// product descriptions, the file table and the files' bytes (the layout is
// documented in kit/install_data.h, which reads it). Used by the mkkit tool and
// by tests that need real kits in a sandbox.
//
// Typical use:
//     kit::KitWriter w;
//     w.AddProduct({u"en", u"Templates", u"Example Ltd", u"docs\\readme.html"});
//     w.AddFile(u"a.txt", kit::FileTimeFromUnix(1577836800), "abc");
//     std::string error;
//     if (!w.WriteKit("/tmp/x/kelda.efd", &error)) ...
//
// Files are written in the order they were added; AddTree adds a directory
// tree in a deterministic order (names compared byte-wise, a directory's files
// and subdirectories interleaved by name, depth first). File bytes are streamed
// from disk at write time, so kits of any size take bounded memory.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kit/kit_crypto.h"
#include "kit/kit_sealer.h"
#include "kit/product_info.h"
#include "text/basic_string.h"

namespace kit {

// FILETIME (100 ns units since 1601-01-01 UTC) from POSIX seconds and back.
uint64_t FileTimeFromUnix(int64_t seconds);
int64_t UnixFromFileTime(uint64_t fileTime);

// Whether the writer refuses names that could leave the template directory.
// Skip exists only to build hostile kits for tests of the reader.
enum class NameCheck { Enforce, Skip };

// Description layouts: the table (layout word 1, any number of languages)
// or the single English description (layout word 0, exactly one product).
enum class Layout { DescriptionTable, SingleDescription };

class ImageSink;  // where the image bytes go; private to kit_writer.cpp

struct KitFileEntry {
    stdx::basic_string<char16_t> name;  // "\" separated
    uint64_t time = 0;                  // FILETIME
    uint64_t size = 0;                  // bytes; must fit in 32 bits when written
    std::string content;                // the bytes, when sourcePath is empty
    std::string sourcePath;             // else a file read when the kit is written
    uint32_t recordPadding = 0;         // ignored bytes appended to the file record
};

class KitWriter {
  public:
    KitWriter() = default;

    void SetLayout(Layout layout) { layoutWord_ = layout == Layout::SingleDescription ? 0 : 1; }
    // Any non-zero word selects the description table; 0 the single description.
    void SetLayoutWord(uint32_t word) { layoutWord_ = word; }
    void SetNameCheck(NameCheck check) { nameCheck_ = check; }
    // zlib level 0-9 for WriteKit (default 9).
    void SetCompressionLevel(int level) { level_ = level; }
    // Whether WriteKit ends the kit in a trailer with its digest (default),
    // and the key that signs it.
    void SetSeal(Seal seal) { seal_ = seal; }
    void SetSigningKey(const SecretKey& key) { signingKey_ = key; }
    // Files added from disk afterwards get at most this last-write time
    // (POSIX seconds): SOURCE_DATE_EPOCH, so that a tree checked out or
    // built at another time gives the same kit.
    void ClampTimesTo(int64_t unixSeconds) { timeClamp_ = unixSeconds; }

    // `padding` ignored bytes are appended to the product record.
    void AddProduct(const config::ProductInfo& info, uint32_t padding = 0);
    void AddFile(const stdx::basic_string<char16_t>& name, uint64_t time, const std::string& bytes);
    void AddEntry(const KitFileEntry& entry) { files_.push_back(entry); }
    // A file on disk under `name`, with its size and last-write time read now
    // and its bytes read when the kit is written.
    bool AddDiskFile(const stdx::basic_string<char16_t>& name, const std::string& path,
                     std::string* error);
    // Every regular file below `dir` (UTF-8 names), named relative to `dir`
    // with "\" separators. Symbolic links to files are followed; links to
    // directories, devices and sockets are refused with an error.
    bool AddTree(const std::string& dir, std::string* error);

    const std::vector<config::ProductInfo>& products() const { return products_; }
    const std::vector<KitFileEntry>& files() const { return files_; }

    // Both replace `path` only when the whole file is written; on failure an
    // earlier file there is left as it was.
    // The inflated image (tables and data), uncompressed.
    bool WriteImage(const std::string& path, std::string* error) const;
    // The kit: the image as one raw deflate stream, then the trailer.
    bool WriteKit(const std::string& path, std::string* error) const;
    // The image in memory; for small kits and tests. Empty on error.
    std::string ImageBytes(std::string* error = nullptr) const;

  private:
    bool Validate(std::string* error) const;
    bool Emit(ImageSink& sink, std::string* error) const;

    uint32_t layoutWord_ = 1;
    NameCheck nameCheck_ = NameCheck::Enforce;
    int level_ = 9;
    Seal seal_ = Seal::kDigest;
    std::optional<SecretKey> signingKey_;
    std::optional<int64_t> timeClamp_;
    std::vector<config::ProductInfo> products_;
    std::vector<uint32_t> productPadding_;
    std::vector<KitFileEntry> files_;
};

// Raw deflate (no header, no checksum) of `bytes` into the file at `path`:
// turns a hand-made image, damaged or not, into a kit file.
bool WriteRawDeflate(const std::string& bytes, const std::string& path, int level,
                     std::string* error);
std::string RawDeflate(const std::string& bytes, int level);

}  // namespace kit
