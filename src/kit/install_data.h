// The opened distribution kit: inflates the kit file into a temporary kit
// image, reads its description and file tables, and copies each file's bytes
// out of the image on demand: inside the kernel (FileSystem::CopyRange) where
// the image and the target allow it, else through one reusable buffer.
//
// Kit image layout (little-endian, unsigned, no padding anywhere). A counted
// string is a uint32 count of UTF-16 units followed by that many 16-bit units.
//
//   +-------------------------+-----------------------------------------------+
//   | uint32 layout word      | 0: single description, else description table |
//   +-------------------------+-----------------------------------------------+
//   | layout word 0:          | product, provider, description: three counted |
//   |                         | strings; the language is "en"                 |
//   | layout word != 0:       | uint32 product count, then per product:       |
//   |                         |   uint32 record length L (>= 20, counts itself)|
//   |                         |   language, product, provider, description    |
//   |                         |   (counted strings), then ignored bytes up to L|
//   +-------------------------+-----------------------------------------------+
//   | uint32 file count       | then per file:                                |
//   |                         |   uint32 record length L (>= 24 + 2 n)        |
//   |                         |   uint32 name length n, n UTF-16 units        |
//   |                         |   ("\" separated relative path)               |
//   |                         |   uint64 last-write time (100 ns since 1601)  |
//   |                         |   uint32 offset (from the data area start)    |
//   |                         |   uint32 size, then ignored bytes up to L     |
//   +-------------------------+-----------------------------------------------+
//   | data area               | the files' bytes, up to the end of the image  |
//   +-------------------------+-----------------------------------------------+
//
// After Open every offset is absolute (data area start added in 32 bits).
// A record too short for its fields, a string past its record, a table past
// the end of the image, a file reaching past the first 4 GiB of the image, or a
// name that could leave the template directory (see kit/kit_name.h) makes the
// kit damaged: Open fails and removes the image.
//
// The kit file may end in a seal (kit/kit_trailer.h, kit/kit_seal.h): its
// digest is computed over the compressed bytes as they are read for
// inflating, and compared, with the signature, before the tables are read.
#pragma once
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "kit/file_data.h"
#include "kit/image_reader.h"
#include "kit/input_tap.h"
#include "kit/kit_name.h"
#include "kit/kit_seal.h"
#include "kit/product_info.h"
#include "text/basic_string.h"
#include "text/string_util.h"

template <class Compressor, class FileSystem>
class InstallData {
  public:
    using string16 = stdx::basic_string<char16_t>;

    std::vector<config::ProductInfo> products;
    std::vector<config::FileData<FileSystem>> files;
    FileHandle imageHandle = kInvalidFileHandle;
    Compressor compressor;
    FileSystem fileSystem;
    // One copy buffer for ExtractFile; its size is the longest single read.
    static constexpr uint32_t kBufferSize = 0x100000;
    std::unique_ptr<unsigned char[]> buffer;
    // Which signatures Open checks or requires; set before Open.
    kit::KitTrust trust;
    // What Open found of the kit's seal.
    kit::SealReport seal;

    InstallData() : buffer(new unsigned char[kBufferSize]) {}
    // The image is a kit-sized file in the temporary directory: it goes with
    // the object. The owner destroys it only when no worker uses it.
    ~InstallData() { ReleaseImage(); }
    InstallData(const InstallData&) = delete;
    InstallData& operator=(const InstallData&) = delete;

    // 0, or a non-zero file system code (13 for a damaged kit, 1013 when the
    // image file cannot be created, kit::kNotSigned when `trust` requires a
    // signature the kit lacks). On failure `files` is empty and no image file
    // is left behind.
    uint32_t Open(const string16& kitPath);
    // Copies file `index` to the new file `target` and gives it the kit's
    // time. 0 or a non-zero code (183 when anything is at `target` already);
    // a partly written target stays for the caller's rollback.
    uint32_t ExtractFile(uint32_t index, const string16& target);
    // The same for the new file `name` inside the open directory.
    uint32_t ExtractFileIn(uint32_t index, FileHandle directory, const string16& name);
    // Product and provider for `language` (ignoring ASCII case), or empty.
    void GetProductInfo(const string16& language, string16& product, string16& provider) const;
    // Description path for `language`, else for "en", else empty.
    string16 GetDescriptionPath(const string16& language) const;
    // Closes the image once no file will be extracted any more; the tables
    // stay. The image is unnamed, so its pages go with it unwritten: a sync
    // of the file system it lies on no longer has to write the whole kit.
    void ReleaseImage();

  private:
    void ReadTables();
    // Inflates the kit into the image and checks its seal; throws on failure.
    void InflateVerified(const string16& kitPath);
    // ExtractFile's work once `create` has made the target.
    template <class Create>
    uint32_t Extract(uint32_t index, Create create);
    // Copies `size` bytes of the image at `offset` to `out`: in the kernel
    // where it can, else through `buffer`. 0, 13 when the image ends first,
    // or the failing operation's code.
    uint32_t CopyOut(uint64_t offset, uint32_t size, FileHandle out);
    // The clean-up of a failed open; returns `code`.
    uint32_t FailOpen(uint32_t code);
    const config::ProductInfo* Find(const string16& language) const;

    // Cleared once the kernel refuses to copy from the image to a target.
    bool kernelCopy_ = true;
};

template <class Compressor, class FileSystem>
uint32_t InstallData<Compressor, FileSystem>::Open(const string16& kitPath) {
    // A second Open starts from scratch.
    ReleaseImage();
    products.clear();
    files.clear();
    seal = kit::SealReport();
    try {
        string16 tempDir;
        FileSystem::GetTempPath(tempDir);
        // Unnamed: whatever ends the process, no image stays in Temp.
        FileHandle handle = kInvalidFileHandle;
        if (FileSystem::CreateUnnamedFile(tempDir, &handle) != 0)
            throw fserror::kCannotWrite;
        imageHandle = handle;
        InflateVerified(kitPath);
        if (FileSystem::SetFilePointer(imageHandle, 0, fsflag::kFileBegin) != 0)
            throw fserror::kInvalidParameter;
        ReadTables();
        return fserror::kSuccess;
    } catch (uint32_t code) {
        return FailOpen(code);
    } catch (const std::bad_alloc&) {
        // Strings as long as a hostile image can make them: damage too.
        return FailOpen(kitimage::kDamaged);
    } catch (const std::length_error&) {
        return FailOpen(kitimage::kDamaged);
    }
}

template <class Compressor, class FileSystem>
uint32_t InstallData<Compressor, FileSystem>::FailOpen(uint32_t code) {
    files.clear();
    if (imageHandle != kInvalidFileHandle)
        FileSystem::CloseHandle(imageHandle);
    imageHandle = kInvalidFileHandle;
    return code;
}

template <class Compressor, class FileSystem>
void InstallData<Compressor, FileSystem>::InflateVerified(const string16& kitPath) {
    // The trailer is read first, from the end: it says where the stream ends.
    kit::SealFound found;
    uint32_t rc = kit::ReadSeal<FileSystem>(kitPath, &found);
    if (rc != 0)
        throw rc;
    // A kit without a trailer has no digest to compare against.
    kit::Sha256 digest;
    kit::InputTap tap;
    if (found.present) {
        tap.length = found.trailer.coveredLength;
        tap.digest = &digest;
    }
    rc = compressor.template DecompressTo<FileSystem>(kitPath, imageHandle,
                                                      Compressor::kMaxImageSize, &tap);
    if (rc != 0)
        throw rc;
    kit::Digest computed{};
    if (!digest.Finish(&computed))
        throw kit::kDamagedKit;
    unsigned char after[8] = {};
    int afterSize = 0;
    if (!found.present && tap.streamEnd < found.fileLength) {
        afterSize = kit::ReadBytesAt<FileSystem>(kitPath, tap.streamEnd, after);
        if (afterSize < 0)
            throw kitimage::LastErrorOr<FileSystem>(fserror::kInvalidParameter);
    }
    rc = kit::JudgeSeal(found, computed, digest.bytes(), tap.streamEnd, after, uint32_t(afterSize),
                        trust, &seal);
    if (rc != 0)
        throw rc;
}

template <class Compressor, class FileSystem>
void InstallData<Compressor, FileSystem>::ReadTables() {
    kitimage::Reader<FileSystem> in(imageHandle);
    uint32_t layout = in.ReadU32();
    if (layout == 0) {
        config::ProductInfo info;
        info.language = u"en";
        info.product = in.ReadCounted();
        info.provider = in.ReadCounted();
        info.description = in.ReadCounted();
        products.push_back(info);
    } else {
        uint32_t count = in.ReadU32();
        for (uint32_t i = 0; i < count; ++i) {
            in.BeginRecord(20);
            config::ProductInfo info;
            info.language = in.ReadCounted();
            info.product = in.ReadCounted();
            info.provider = in.ReadCounted();
            info.description = in.ReadCounted();
            in.EndRecord();
            products.push_back(info);
        }
    }
    uint32_t count = in.ReadU32();
    // One allocation for the table: no doubling copies of a long one. A
    // record takes at least 24 bytes, so a count the image cannot hold
    // reserves no more than the image could.
    files.reserve(size_t(count < in.Remaining() / 24 ? count : in.Remaining() / 24));
    for (uint32_t i = 0; i < count; ++i) {
        in.BeginRecord(24);
        config::FileData<FileSystem> file;
        file.name = in.ReadCounted();
        file.time = in.ReadU64();
        file.offset = in.ReadU32();
        file.size = in.ReadU32();
        in.EndRecord();
        if (!kit::IsSafeKitName(file.name))
            throw kitimage::kDamaged;
        files.push_back(file);
    }
    uint32_t dataStart = uint32_t(in.Position());
    for (config::FileData<FileSystem>& file : files) {
        // Positions are 32-bit: a file that would reach past the first 4 GiB
        // of the image would wrap round and be copied from the tables.
        if (file.size > 0 && uint64_t(dataStart) + file.offset + file.size > 0x100000000ULL)
            throw kitimage::kDamaged;
        file.offset += dataStart;
    }
}

template <class Compressor, class FileSystem>
uint32_t InstallData<Compressor, FileSystem>::ExtractFile(uint32_t index, const string16& target) {
    return Extract(index, [&target](FileHandle* out) {
        return FileSystem::CreateFile(target, fsflag::kGenericWrite, 0, fsflag::kCreateNew, out,
                                      fsflag::kAttributeNormal);
    });
}

template <class Compressor, class FileSystem>
uint32_t InstallData<Compressor, FileSystem>::ExtractFileIn(uint32_t index, FileHandle directory,
                                                            const string16& name) {
    return Extract(index, [directory, &name](FileHandle* out) {
        return FileSystem::CreateFileIn(directory, name, fsflag::kGenericWrite, 0,
                                        fsflag::kCreateNew, out, fsflag::kAttributeNormal);
    });
}

template <class Compressor, class FileSystem>
template <class Create>
uint32_t InstallData<Compressor, FileSystem>::Extract(uint32_t index, Create create) {
    if (index >= files.size() || imageHandle == kInvalidFileHandle)
        return fserror::kInvalidParameter;
    const config::FileData<FileSystem>& entry = files[index];
    // Exclusive: a file or link that appeared at the target since the caller
    // moved the earlier version aside is an error (183), never overwritten.
    FileHandle out = kInvalidFileHandle;
    uint32_t rc = create(&out);
    if (rc != 0)
        return rc;
    rc = CopyOut(entry.offset, entry.size, out);
    if (rc == 0) {
        uint64_t time = entry.time;
        rc = FileSystem::SetFileTime(out, nullptr, nullptr, &time);
    }
    uint32_t closed = FileSystem::CloseHandle(out);
    return rc != 0 ? rc : closed;
}

template <class Compressor, class FileSystem>
uint32_t InstallData<Compressor, FileSystem>::CopyOut(uint64_t offset, uint32_t size,
                                                      FileHandle out) {
    uint32_t remaining = size;
    // Positioned reads and copies: the image's file position is never used,
    // so a file costs no seek.
    while (remaining > 0 && kernelCopy_) {
        uint32_t copied = 0;
        uint32_t r = FileSystem::CopyRange(imageHandle, offset, out, remaining, &copied);
        if (r == fserror::kNotSupported) {
            // The targets almost always share one file system: asking again
            // for every file would only add a failing call each.
            kernelCopy_ = false;
            break;
        }
        if (r != 0)
            return r;
        // The image ends before the file does: the kit is damaged.
        if (copied == 0)
            return kitimage::kDamaged;
        offset += copied;
        remaining -= copied;
    }
    while (remaining > 0) {
        // Read no further than the file: most kit files are a few KiB, and a
        // full buffer each time would copy the whole image several times.
        const uint32_t want = remaining < kBufferSize ? remaining : kBufferSize;
        uint32_t got = 0;
        uint32_t r = FileSystem::ReadFileAt(imageHandle, offset, buffer.get(), want, &got);
        if (r != 0)
            return r;
        if (got == 0)
            return kitimage::kDamaged;
        int32_t written = 0;
        r = FileSystem::WriteFile(out, buffer.get(), got, &written, nullptr);
        if (r != 0)
            return r;
        offset += got;
        remaining -= got;
    }
    return fserror::kSuccess;
}

template <class Compressor, class FileSystem>
const config::ProductInfo* InstallData<Compressor, FileSystem>::Find(
    const string16& language) const {
    for (const config::ProductInfo& info : products) {
        if (stdx::compare_nocase(info.language, language) == 0)
            return &info;
    }
    return nullptr;
}

template <class Compressor, class FileSystem>
void InstallData<Compressor, FileSystem>::GetProductInfo(const string16& language,
                                                         string16& product,
                                                         string16& provider) const {
    const config::ProductInfo* info = Find(language);
    product = info ? info->product : string16();
    provider = info ? info->provider : string16();
}

template <class Compressor, class FileSystem>
stdx::basic_string<char16_t> InstallData<Compressor, FileSystem>::GetDescriptionPath(
    const string16& language) const {
    const config::ProductInfo* info = Find(language);
    if (info && !info->description.empty())
        return info->description;
    const config::ProductInfo* english = Find(string16(u"en"));
    return english ? english->description : string16();
}

template <class Compressor, class FileSystem>
void InstallData<Compressor, FileSystem>::ReleaseImage() {
    if (imageHandle == kInvalidFileHandle)
        return;
    FileSystem::CloseHandle(imageHandle);
    imageHandle = kInvalidFileHandle;
}
