#include "text/basic_string.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

using stdx::string16;
using stdx::string8;

namespace {

string16 units(size_t n, char16_t first = u'a') {
    string16 s;
    for (size_t i = 0; i < n; ++i) s.push_back(char16_t(first + i % 26));
    return s;
}

}  // namespace

TEST(BasicStringLayout, InlineHeapBoundaryAndLengthWord) {
    static_assert(sizeof(string16) == 4 + 3 * sizeof(void*), "packed length word + union");
    constexpr uint32_t n16 = string16::kInlineUnits;
    constexpr uint32_t n8 = string8::kInlineUnits;
    EXPECT_EQ(n16, sizeof(void*) == 8 ? 12u : 10u);
    EXPECT_EQ(n8, sizeof(void*) == 8 ? 24u : 20u);

    string16 in(units(n16 - 1).data(), n16 - 1);
    EXPECT_EQ(in.debug_length_word(), n16 - 1);
    EXPECT_EQ(in.debug_share_count(), 0);
    string16 heap(units(n16).data(), n16);
    EXPECT_EQ(heap.debug_length_word(), n16);
    EXPECT_EQ(heap.size(), n16);
    string16 longer = units(100);
    EXPECT_EQ(longer.debug_length_word(), n16) << "heap form is marked by N whatever the length";
    EXPECT_EQ(longer.size(), 100u);
    EXPECT_EQ(longer.c_str()[100], 0);

    string8 b(23, 'x');
    EXPECT_EQ(b.debug_length_word(), n8 - 1);
    b.push_back('y');
    EXPECT_EQ(b.debug_length_word(), n8);
    EXPECT_EQ(b.size(), n8);
    EXPECT_EQ(b.back(), 'y');
}

TEST(BasicStringSharing, CopiesShareUntilWritten) {
    const string16 original = units(30);
    string16 copy = original;
    EXPECT_EQ(original.debug_share_count(), 2);
    EXPECT_EQ(copy.c_str(), original.c_str());

    copy[0] = u'Z';
    EXPECT_EQ(original.debug_share_count(), 1);
    EXPECT_EQ(copy.debug_share_count(), 1);
    EXPECT_EQ(original[0], u'a');
    EXPECT_EQ(copy[0], u'Z');
    EXPECT_EQ(original, units(30));

    // Assignment between strings that share one block, and self-assignment.
    string16 a = original;
    string16 b = original;
    a = b;
    EXPECT_EQ(original.debug_share_count(), 3);
    const string16& alias = a;
    a = alias;
    EXPECT_EQ(a, original);

    // An inline source makes the target inline again and releases the block.
    a = string16(u"short");
    EXPECT_EQ(a.debug_length_word(), 5u);
    EXPECT_EQ(original.debug_share_count(), 2);
}

TEST(BasicStringSharing, MoveLeavesSourceEmpty) {
    string16 s = units(40);
    string16 moved(std::move(s));
    EXPECT_TRUE(s.empty());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(moved, units(40));
    string16 t(u"x");
    t = std::move(moved);
    EXPECT_EQ(t, units(40));
}

TEST(BasicStringAliasing, SelfAppendAcrossTheBoundary) {
    string16 s(u"abcdefgh");  // 8 units, inline
    s.append(s.data(), s.size());
    EXPECT_EQ(s, string16(u"abcdefghabcdefgh"));
    EXPECT_EQ(s.debug_length_word(), string16::kInlineUnits);

    string16 h = units(50);
    for (int i = 0; i < 5; ++i) h.append(h);
    EXPECT_EQ(h.size(), 50u * 32);
    EXPECT_EQ(h.substr(50 * 31), units(50));

    string16 part = units(20);
    part.append(part.data() + 5, 10);  // a slice of itself, growing
    EXPECT_EQ(part, units(20) + units(20).substr(5, 10));

    string16 shared = units(20);
    string16 other = shared;
    shared.append(shared.data(), 3);  // unshares and grows while reading itself
    EXPECT_EQ(shared, units(20) + string16(u"abc"));
    EXPECT_EQ(other, units(20));
}

TEST(BasicStringAliasing, AssignInsertReplaceFromInside) {
    string16 s = units(30);
    s.assign(s.data() + 10, 15);
    EXPECT_EQ(s, units(30).substr(10, 15));

    string16 t(u"0123456789");
    t.insert(t.begin() + 2, t.cbegin() + 5, t.cbegin() + 8);
    EXPECT_EQ(t, string16(u"0156723456789"));

    string16 r = units(26);
    r.replace(r.cbegin(), r.cbegin() + 3, r.data() + 20, r.data() + 26);
    EXPECT_EQ(r, string16(u"uvwxyzdefghijklmnopqrstuvwxyz"));
}

TEST(BasicStringResize, ShrinkKeepsHeapFormAndTerminates) {
    string16 s = units(40);
    s.resize(3, u'\0');
    EXPECT_EQ(s.debug_length_word(), string16::kInlineUnits);
    EXPECT_EQ(s.size(), 3u);
    EXPECT_EQ(s.c_str()[3], 0);
    s.clear();
    EXPECT_EQ(s.debug_length_word(), string16::kInlineUnits) << "clearing keeps the block";
    EXPECT_TRUE(s.empty());
    s.resize(5, u'q');
    EXPECT_EQ(s, string16(u"qqqqq"));
}

TEST(BasicStringGrowth, CapacityFollowsTheRoundingTable) {
    // First heap block: exact (length + header units), no rounding.
    constexpr size_t h = string16::kHeaderUnits;
    string16 s(units(13).data(), 13);
    EXPECT_EQ(s.capacity(), 13u);
    // Amortized append: max(needed, C + C/2) rounded to 8 bytes below 256.
    s.push_back(u'x');
    size_t c = 13 + h;
    size_t target = std::max<size_t>(14 + h, c + c / 2);
    size_t bytes = (target * 2 + 7) / 8 * 8;
    EXPECT_EQ(s.capacity() + h, bytes / 2);

    string8 big;
    big.reserve(5000);
    EXPECT_EQ(big.capacity(), 5000u) << "reserve is exact";
    big.assign(string8(5001, 'a').data(), 5001);
    EXPECT_EQ(big.capacity() + string8::kHeaderUnits,
              (5001 + string8::kHeaderUnits + 255) / 256 * 256);
    big.reserve(10);
    EXPECT_GE(big.capacity(), 5001u) << "reserve never shrinks";
}

TEST(BasicStringErrors, RangeAndLengthErrors) {
    string16 s(u"hello");
    EXPECT_EQ(s.substr(5, 5), string16());
    EXPECT_THROW(s.substr(6, 0), std::out_of_range);
    EXPECT_THROW(s.erase(6, 1), std::out_of_range);
    string16 t;
    EXPECT_THROW(t.append(s, 6, 1), std::out_of_range);
    try {
        s.substr(7);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "basic_string");
    }
    if (sizeof(void*) == 8) {
        EXPECT_THROW(t.reserve((size_t(1) << 63) - 1), std::length_error);
    }
    EXPECT_EQ(s, string16(u"hello")) << "failed operations keep the value";
    s.erase(1, 100);
    EXPECT_EQ(s, string16(u"h"));
}

TEST(BasicStringSearch, FindRulesAndSeparators) {
    string16 empty;
    EXPECT_EQ(empty.find(u"", 0, 0), string16::npos);
    EXPECT_EQ(empty.find(u"a"), string16::npos);
    string16 s(u"dir\\sub/file.cfg");
    EXPECT_EQ(s.find(u"sub"), 4u);
    EXPECT_EQ(s.find(u"sub", 5), string16::npos);
    EXPECT_EQ(s.find(u"dir\\sub/file.cfg and more"), string16::npos);
    EXPECT_EQ(s.find_last_of(u"\\/"), 7u);
    EXPECT_EQ(string16(u"plain").find_last_of(u"\\/"), string16::npos);
    EXPECT_EQ(s.rfind(u'i'), 9u);
}

TEST(BasicStringCompare, BytewiseOrderingForMapKeys) {
    std::map<string8, int> m;
    m[string8("IDS_B")] = 2;
    m[string8("IDS_A")] = 1;
    m[string8("IDS_")] = 0;
    m[string8("\xc3\xa9")] = 3;  // bytes >= 0x80 order after ASCII
    std::vector<int> order;
    for (auto& kv : m) order.push_back(kv.second);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(string8("ab") == "ab");
    EXPECT_TRUE(string8("ab") != string8("abc"));
}

TEST(BasicStringConcat, SizedForTheSum) {
    string16 a(u"kvtmp");
    string16 r = a + string16(u"12") + u"/";
    EXPECT_EQ(r, string16(u"kvtmp12/"));
    string16 big = units(10) + units(10);
    EXPECT_EQ(big.capacity(), 20u) << "one exact block";
}

TEST(BasicStringThreads, SharedBlocksAcrossThreads) {
    const string16 base = units(64);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&base, t] {
            for (int i = 0; i < 2000; ++i) {
                string16 copy = base;
                copy[0] = char16_t(u'A' + t);
                string16 again = copy;
                again.append(u"!");
                ASSERT_EQ(copy.size(), 64u);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(base.debug_share_count(), 1);
    EXPECT_EQ(base, units(64));
}
