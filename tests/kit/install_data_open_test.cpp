// Opening kits: the table reading rule, the structural checks that make a kit
// damaged, the clean-up of a failed open and the image's lifetime.
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "kit_fixture.h"

namespace kittest {
namespace {

// The smallest useful image: one description ("en", all texts empty) and one
// file, a.txt of 3 bytes, written at 2020-01-01 00:00 UTC.
std::string OneFileImage() {
    return Bytes()
        .u32(1)             // 0: layout word 1, description table
        .u32(1)             // 4: product count
        .u32(24)            // 8: record length
        .counted(u"en")     // 12: language
        .u32(0)             // 20: product, provider, description: empty
        .u32(0)             //
        .u32(0)             //
        .u32(1)             // 32: file count
        .u32(34)            // 36: record length
        .counted(u"a.txt")  // 40: name
        .u64(kNewYear2020)  // 54: time
        .u32(0)             // 62: offset
        .u32(3)             // 66: size
        .raw("abc")         // 70: data area
        .str();
}

// `bytes` as a gzip file, header and trailer included.
std::string Gzip(const std::string& bytes) {
    z_stream stream{};
    EXPECT_EQ(Z_OK, deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY));
    std::string out(deflateBound(&stream, uLong(bytes.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = uInt(out.size());
    EXPECT_EQ(Z_STREAM_END, deflate(&stream, Z_FINISH));
    out.resize(stream.total_out);
    deflateEnd(&stream);
    EXPECT_EQ('\x1f', out[0]);
    return out;
}

// The start of an image with a description table holding no descriptions.
Bytes EmptyHead() {
    return Bytes().u32(1).u32(0);
}

using OpenTest = KitTest;

TEST_F(OpenTest, OneFileImageOpensWithAbsoluteOffset) {
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromImage(OneFileImage())));
    ASSERT_EQ(1u, kit.products.size());
    EXPECT_EQ(string16(u"en"), kit.products[0].language);
    EXPECT_TRUE(kit.products[0].product.empty());
    ASSERT_EQ(1u, kit.files.size());
    EXPECT_EQ(string16(u"a.txt"), kit.files[0].name);
    EXPECT_EQ(kNewYear2020, kit.files[0].time);
    EXPECT_EQ(70u, kit.files[0].offset);
    EXPECT_EQ(3u, kit.files[0].size);
    EXPECT_NE(kInvalidFileHandle, kit.imageHandle);
    EXPECT_TRUE(TempFiles().empty()) << "the image has no name";
}

TEST_F(OpenTest, SingleDescriptionLayoutIsEnglish) {
    std::string image =
        Bytes().u32(0).counted(u"Prod").counted(u"Vendor").counted(u"d\\x.html").u32(0).str();
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromImage(image)));
    ASSERT_EQ(1u, kit.products.size());
    EXPECT_EQ(string16(u"en"), kit.products[0].language);
    EXPECT_EQ(string16(u"Prod"), kit.products[0].product);
    EXPECT_EQ(string16(u"Vendor"), kit.products[0].provider);
    EXPECT_EQ(string16(u"d\\x.html"), kit.products[0].description);
    EXPECT_TRUE(kit.files.empty());

    Kit empty;
    ASSERT_EQ(0u, empty.Open(KitFromImage(Bytes().u32(0).u32(0).u32(0).u32(0).u32(0).str())));
    ASSERT_EQ(1u, empty.products.size());
    EXPECT_EQ(string16(u"en"), empty.products[0].language);
    EXPECT_TRUE(empty.products[0].product.empty());
}

TEST_F(OpenTest, DescriptionTableVariants) {
    // Product count 0: no descriptions at all.
    Kit none;
    ASSERT_EQ(0u, none.Open(KitFromImage(EmptyHead().u32(0).str())));
    EXPECT_TRUE(none.products.empty());

    // The largest layout word also selects the table; a record longer than its
    // strings has its rest skipped and the next record read after it.
    Bytes image;
    image.u32(0xFFFFFFFFu).u32(2);
    // Length field, "de" (4 + 4), "P" and "V" (4 + 2 each), "" (4), 5 extra bytes.
    image.u32(4 + 8 + 6 + 6 + 4 + 5)
        .counted(u"de")
        .counted(u"P")
        .counted(u"V")
        .counted(u"")
        .raw("12345");
    image.u32(20 + 4).counted(u"en").u32(0).u32(0).u32(0);
    image.u32(0);
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromImage(image.str())));
    ASSERT_EQ(2u, kit.products.size());
    EXPECT_EQ(string16(u"de"), kit.products[0].language);
    EXPECT_EQ(string16(u"P"), kit.products[0].product);
    EXPECT_EQ(string16(u"V"), kit.products[0].provider);
    EXPECT_EQ(string16(u"en"), kit.products[1].language);
}

TEST_F(OpenTest, FileRecordsWithEmptyNameAndPadding) {
    Bytes image = EmptyHead();
    image.u32(2);
    image.u32(24).u32(0).u64(5).u32(0).u32(0);  // empty name, size 0
    image.u32(24 + 2 + 7).counted(u"b").u64(kNewYear2020).u32(0).u32(2).raw("pad-pad");
    image.raw("xy");
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromImage(image.str())));
    ASSERT_EQ(2u, kit.files.size());
    EXPECT_TRUE(kit.files[0].name.empty());
    EXPECT_EQ(string16(u"b"), kit.files[1].name);
    uint32_t dataStart = uint32_t(image.size() - 2);
    EXPECT_EQ(dataStart, kit.files[1].offset);
}

TEST_F(OpenTest, TrailingBytesAfterTheStreamAreIgnored) {
    std::string kitBytes = kit::RawDeflate(OneFileImage(), 9) + std::string(5000, '\x5A');
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromBytes(kitBytes)));
    EXPECT_EQ(70u, kit.files.at(0).offset);
}

// Each image is damaged in one way; every open must fail, leave no image and
// no files, and never allocate what a hostile length asks for.
TEST_F(OpenTest, StructurallyDamagedImagesFail) {
    struct Case {
        const char* what;
        std::string image;
    };
    std::vector<Case> cases = {
        {"empty image", ""},
        {"layout word cut short", "\x01\x00"},
        {"product record under 20 bytes",
         Bytes().u32(1).u32(1).u32(19).raw(std::string(15, '\0')).u32(0).str()},
        {"string past its record",
         Bytes().u32(1).u32(1).u32(20).u32(5).u32(0).u32(0).u32(0).u32(0).str()},
        {"product table past the end",
         Bytes().u32(1).u32(3).u32(20).u32(0).u32(0).u32(0).u32(0).str()},
        {"huge product record length", Bytes().u32(1).u32(1).u32(0xFFFFFFF0u).u32(0).str()},
        {"huge counted string in layout 0", Bytes().u32(0).u32(0x7FFFFFFFu).str()},
        {"file record under 24 bytes",
         EmptyHead().u32(1).u32(23).u32(0).u64(0).u32(0).u32(0).str()},
        {"file name past its record",
         EmptyHead().u32(1).u32(24).u32(1).u64(0).u32(0).u32(0).raw("zz").str()},
        {"file table past the end", EmptyHead().u32(2).u32(24).u32(0).u64(0).u32(0).u32(0).str()},
        {"file count without records", EmptyHead().u32(0xFFFFFFFFu).str()},
        {"no file count", EmptyHead().str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Kit kit;
        EXPECT_NE(0u, kit.Open(KitFromImage(c.image)));
        EXPECT_TRUE(kit.files.empty());
        EXPECT_EQ(kInvalidFileHandle, kit.imageHandle);
        EXPECT_TRUE(TempFiles().empty());
    }
}

TEST_F(OpenTest, NamesThatLeaveTheTemplateDirectoryAreDamage) {
    const char16_t* bad[] = {u"..\\..\\.bashrc", u"a\\..\\..\\b", u"../x", u"a/../../b",
                             u"\\etc\\passwd",   u"/etc/passwd",  u"..",   u"a\\.."};
    for (const char16_t* name : bad) {
        SCOPED_TRACE(testing_support::utf8(name));
        kit::KitWriter writer;
        writer.SetNameCheck(kit::NameCheck::Skip);
        writer.AddFile(u"ok.txt", kNewYear2020, "fine");
        writer.AddFile(name, kNewYear2020, "evil");
        Kit kit;
        EXPECT_EQ(13u, kit.Open(WriteKit(writer)));
        EXPECT_TRUE(kit.files.empty());
        EXPECT_TRUE(TempFiles().empty());
    }
    // A zero unit inside a name would cut the path short on the way to the OS.
    kit::KitWriter writer;
    writer.SetNameCheck(kit::NameCheck::Skip);
    writer.AddFile(string16(u"a\0b", 3), kNewYear2020, "x");
    Kit kit;
    EXPECT_EQ(13u, kit.Open(WriteKit(writer)));

    // Dots that stay inside are fine.
    kit::KitWriter good;
    good.AddFile(u"..a\\b..\\.\\c...", kNewYear2020, "x");
    Kit fine;
    EXPECT_EQ(0u, fine.Open(WriteKit(good)));
}

// A name no system path can hold (8,000 levels, or one byte over the limit
// in UTF-8) is damage found at open, before anything is written; the
// longest one that fits opens.
TEST_F(OpenTest, NamesLongerThanTheSystemPathLimitAreDamage) {
    auto deep = [](size_t levels, const string16& leaf) {
        string16 name;
        for (size_t i = 0; i < levels; ++i) name += u"a\\";
        return name + leaf;
    };
    const size_t limit = kit::MaxKitNameBytes();
    const string16 atLimit = deep((limit - 1) / 2, u"f") + string16(limit % 2 == 0 ? u"x" : u"");
    ASSERT_EQ(limit, atLimit.size());
    const string16 wideLeaf(limit / 2 + 1, u'\u00E9');  // two bytes each in UTF-8
    const string16 bad[] = {deep(8000, u"f.txt"), atLimit + u"x", wideLeaf};
    for (const string16& name : bad) {
        SCOPED_TRACE(name.size());
        kit::KitWriter writer;
        writer.SetNameCheck(kit::NameCheck::Skip);
        writer.AddFile(u"ok.txt", kNewYear2020, "fine");
        writer.AddFile(name, kNewYear2020, "deep");
        Kit kit;
        EXPECT_EQ(13u, kit.Open(WriteKit(writer)));
        EXPECT_TRUE(kit.files.empty());
        EXPECT_TRUE(TempFiles().empty());
    }
    kit::KitWriter good;
    good.AddFile(atLimit, kNewYear2020, "x");
    Kit fine;
    EXPECT_EQ(0u, fine.Open(WriteKit(good)));
}

TEST_F(OpenTest, BadCompressedDataFailsWithInvalidData) {
    // A complete gzip file (header, stream, checksum trailer) of a valid image.
    Kit gzip;
    EXPECT_EQ(13u, gzip.Open(KitFromBytes(Gzip(OneFileImage()))));
    EXPECT_TRUE(gzip.files.empty());
    EXPECT_TRUE(TempFiles().empty());

    Kit empty;
    EXPECT_NE(0u, empty.Open(KitFromBytes("")));
    EXPECT_TRUE(TempFiles().empty());

    Kit missing;
    EXPECT_EQ(2u, missing.Open(sandbox_.at16("nope.efd")));
    EXPECT_TRUE(TempFiles().empty());
}

// A FIFO under the kit's name has no writer: opening it must fail as a
// damaged kit, not wait for one with the window not even shown.
TEST_F(OpenTest, FifoAsTheKitFailsInsteadOfWaiting) {
    ASSERT_EQ(0, mkfifo(sandbox_.at("kelda.efd").c_str(), 0600));
    alarm(30);  // a blocked open ends the test program instead of hanging it
    Kit kit;
    EXPECT_NE(0u, kit.Open(sandbox_.at16("kelda.efd")));
    alarm(0);
    EXPECT_TRUE(kit.files.empty());
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(OpenTest, ImageCannotBeCreated) {
    // /proc refuses new files even to root, who may write anywhere else.
    std::string kitPath = testing_support::utf8(KitFromImage(OneFileImage()));
    setenv("TMPDIR", "/proc", 1);
    Kit kit;
    EXPECT_EQ(1013u, kit.Open(testing_support::u16(kitPath)));
    EXPECT_TRUE(kit.files.empty());
    EXPECT_EQ(kInvalidFileHandle, kit.imageHandle);
}

TEST_F(OpenTest, LongRecordRestsAreSkipped) {
    // Rests of several MiB in both tables: skipped, and every later record and
    // the data area are still found where they are.
    kit::KitWriter writer;
    writer.AddProduct({u"de", u"Vorlagen", u"", u""}, 3u << 20);
    writer.AddProduct({u"en", u"Templates", u"", u""}, 1);
    kit::KitFileEntry padded;
    padded.name = u"a.txt";
    padded.time = kNewYear2020;
    padded.content = "first";
    padded.size = padded.content.size();
    padded.recordPadding = 2u << 20;
    writer.AddEntry(padded);
    writer.AddFile(u"b.txt", kNewYear2020, "second");
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    ASSERT_EQ(2u, kit.products.size());
    EXPECT_EQ(string16(u"Templates"), kit.products[1].product);
    ASSERT_EQ(2u, kit.files.size());
    EXPECT_EQ(string16(u"b.txt"), kit.files[1].name);
    ASSERT_EQ(0u, kit.ExtractFile(1, sandbox_.at16("b.txt")));
    EXPECT_EQ("second", testing_support::Sandbox::read(sandbox_.at("b.txt")));
    ASSERT_EQ(0u, kit.ExtractFile(0, sandbox_.at16("a.txt")));
    EXPECT_EQ("first", testing_support::Sandbox::read(sandbox_.at("a.txt")));
}

// The real policy, counting the reads of the image.
struct ReadCountingFileSystem : FileSystem {
    static int& reads() {
        static int n = 0;
        return n;
    }
    static std::uint32_t ReadFile(Handle h, void* b, std::uint32_t c, std::uint32_t* got, void* o) {
        ++reads();
        return FileSystem::ReadFile(h, b, c, got, o);
    }
    static std::uint32_t ReadFileAt(Handle h, std::uint64_t at, void* b, std::uint32_t c,
                                    std::uint32_t* got) {
        ++reads();
        return FileSystem::ReadFileAt(h, at, b, c, got);
    }
};

// A table of thousands of records is read in a few large pieces, not with a
// call per field: opening a kit of small files must not cost per file.
TEST_F(OpenTest, LargeTableCostsAFewReads) {
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"P", u"V", u""});
    for (int i = 0; i < 3000; ++i) {
        writer.AddFile(u"dir\\file" + stdx::format_int(i), kNewYear2020, "x");
    }
    InstallData<LZCompressor, ReadCountingFileSystem> kit;
    ReadCountingFileSystem::reads() = 0;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    ASSERT_EQ(3000u, kit.files.size());
    EXPECT_LE(ReadCountingFileSystem::reads(), 10);
    ASSERT_EQ(0u, kit.ExtractFile(2999, sandbox_.at16("last")));
    EXPECT_EQ("x", testing_support::Sandbox::read(sandbox_.at("last")));
}

// The image is an unnamed file: nothing in Temp, whatever ends the process;
// it is the kit's inflated bytes, and a second Open releases the first one.
TEST_F(OpenTest, ImageIsUnnamedAndLivesExactlyAsLongAsTheObject) {
    const size_t descriptorsBefore = OpenDescriptors();
    {
        Kit kit;
        ASSERT_EQ(0u, kit.Open(KitFromImage(OneFileImage())));
        struct stat st;
        ASSERT_EQ(0, fstat(int(kit.imageHandle), &st));
        EXPECT_EQ(0u, st.st_nlink);
        EXPECT_EQ(OneFileImage(), testing_support::Sandbox::read("/proc/self/fd/" +
                                                                 std::to_string(kit.imageHandle)));
        ASSERT_EQ(0u, kit.Open(KitFromImage(OneFileImage(), "second.efd")));
        EXPECT_EQ(descriptorsBefore + 1, OpenDescriptors());
        EXPECT_TRUE(TempFiles().empty());
    }
    EXPECT_EQ(descriptorsBefore, OpenDescriptors());
}

}  // namespace
}  // namespace kittest
