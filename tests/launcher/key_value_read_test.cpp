#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "launcher_test_support.h"
#include "text/key_value_file.h"

using launcher_test::Dump;
using testing_support::Sandbox;
using testing_support::u16;

namespace {

struct Read {
    KeyValueStore store;
    KeyValueReadResult result;
};

Read ReadContent(const Sandbox& box, const std::string& content) {
    box.write("in.cfg", content);
    Read read;
    read.result = ReadKeyValueFile(box.at16("in.cfg"), read.store);
    return read;
}

}  // namespace

TEST(ReadKeyValueFile, LineGrammar) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    const struct {
        const char* content;
        const char* dump;
    } cases[] = {
        {"a = b\n", "a = b\n"},  // both spaces kept
        {"a=b=c\n", "a=b=c\n"},
        {"flag\n", "flag\n"},
        {"flag\nflag=\n", "flag\n"},
        {"=x\n", "=x\n"},
        {"", ""},
        {"\n\n=\n\n", ""},
        {"K=1\nk=2\nK=1\n", "K=1\nK=2\n"},
        {"a=1\nb=2", "a=1\nb=2\n"},        // last line without a line feed
        {"K=v\r\nL=w\r\n", "K=v\nL=w\n"},  // the line end is not text
        {"K=v\r", "K=v\n"},
        {"K=a\rb\r\r\n", "K=a\rb\r\n"},  // one inside the line, one kept before the end
        {"#c=1\n;d\n\tt =\t\n# a comment\n", "#c=1\n;d\n\tt =\t\n# a comment\n"},
    };
    for (const auto& c : cases) {
        const Read read = ReadContent(box, c.content);
        EXPECT_EQ(Dump(read.store), c.dump) << "content: " << c.content;
        EXPECT_EQ(read.result, kKeyValueRead);
    }
}

// A launcher file saved by an editor with CR LF line ends names the
// directory itself, not the directory with a carriage return appended.
TEST(ReadKeyValueFile, CarriageReturnBeforeTheLineFeedIsNotPartOfTheValue) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    const Read read = ReadContent(box, "K=/home/u/t\r\n");
    ASSERT_NE(read.store.Find(u"K"), nullptr);
    EXPECT_EQ(read.store.Find(u"K")->front(), stdx::string16(u"/home/u/t"));
    EXPECT_EQ(read.store.LineEnd(), KeyValueLineEnd::kCarriageReturnLineFeed);
    EXPECT_EQ(ReadContent(box, "K=v\nL=w\r\n").store.LineEnd(), KeyValueLineEnd::kLineFeed);
}

TEST(ReadKeyValueFile, ByteOrderMarkBelongsToTheFirstKey) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    const Read read = ReadContent(box, "\xEF\xBB\xBFKey=1\n");
    EXPECT_EQ(read.store.Find(u"Key"), nullptr);
    EXPECT_NE(read.store.Find(u"\uFEFFKey"), nullptr);
}

// A FIFO has no writer: reading it would wait for one at start-up, before
// the window is shown.
TEST(ReadKeyValueFile, FifoIsNotOpened) {
    Sandbox box;
    ASSERT_EQ(0, mkfifo(box.at("in.cfg").c_str(), 0600));
    alarm(30);  // a blocked open ends the test program instead of hanging it
    KeyValueStore store;
    EXPECT_EQ(ReadKeyValueFile(box.at16("in.cfg"), store), kKeyValueNotOpened);
    alarm(0);
    EXPECT_TRUE(store.Empty());
}

TEST(ReadKeyValueFile, MissingFileOrDirectoryAddsNothing) {
    Sandbox box;
    KeyValueStore store;
    store.Add(u"kept", u"1");
    EXPECT_EQ(ReadKeyValueFile(box.at16("missing.cfg"), store), kKeyValueNotOpened);
    EXPECT_EQ(ReadKeyValueFile(u16(box.path()), store), kKeyValueReadError);
    EXPECT_EQ(Dump(store), "kept=1\n");
}

TEST(ReadKeyValueFile, LongValuesAndCharactersAcrossBlockBoundaries) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    // One-, two-, three- and four-byte characters at every offset around the
    // 1024-byte read blocks and the 2048-unit token buffer. A character
    // beyond 16 bits keeps its low 16 bits, and the read says the store no
    // longer holds the file's exact text.
    const std::string bytes[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    const char16_t units[] = {u'a', u'\u00E9', u'\u20AC', char16_t(0xF600)};
    for (size_t pad = 1018; pad < 1026; ++pad) {
        std::string value(pad, 'x');
        stdx::string16 expected(pad, u'x');
        for (size_t i = 0; i < 1500; ++i) {
            value += bytes[(i + pad) % 4];
            expected.push_back(units[(i + pad) % 4]);
        }
        const Read read = ReadContent(box, "k=" + value + "\nnext=1");
        EXPECT_EQ(read.result, kKeyValueUndecodable);
        ASSERT_NE(read.store.Find(u"k"), nullptr);
        EXPECT_TRUE(read.store.Find(u"k")->front() == expected) << "padding " << pad;
        EXPECT_NE(read.store.Find(u"next"), nullptr);
    }
}

TEST(ReadKeyValueFile, UndecodableBytesAreSkippedAndReported) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    const Read read = ReadContent(box, "a=1\xFF\nb=2\n");
    EXPECT_EQ(read.result, kKeyValueUndecodable);
    EXPECT_EQ(Dump(read.store), "a=1\nb=2\n");
}

TEST(ReadKeyValueFile, CharacterBeyondSixteenBitsIsReported) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    // U+1F600 is read as U+F600 (its low 16 bits); a write-back of that
    // store would put another character on disk.
    const Read read = ReadContent(box, "a=x\xF0\x9F\x98\x80y\nb=2\n");
    EXPECT_EQ(read.result, kKeyValueUndecodable);
    EXPECT_EQ(Dump(read.store), "a=x\xEF\x98\x80y\nb=2\n");
}
