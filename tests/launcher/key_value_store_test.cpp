#include "text/key_value_store.h"

#include <gtest/gtest.h>

#include "launcher_test_support.h"

using launcher_test::Dump;

TEST(KeyValueStore, KeysAndValuesMatchWithoutCaseAndKeepFirstSpelling) {
    KeyValueStore store;
    EXPECT_TRUE(store.Add(u"Key", u"One"));
    EXPECT_TRUE(store.Add(u"other", u"x"));
    EXPECT_TRUE(store.Add(u"KEY", u"two"));
    EXPECT_FALSE(store.Add(u"key", u"ONE"));
    EXPECT_EQ(Dump(store), "Key=One\nKey=two\nother=x\n");

    const std::vector<stdx::string16>* values = store.Find(u"kEy");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->size(), 2u);
    EXPECT_EQ(store.Find(u"Key "), nullptr);  // a space is part of the key
}

TEST(KeyValueStore, SetValuesReplacesInPlaceOrAppends) {
    KeyValueStore store;
    store.Add(u"a", u"1");
    store.Add(u"Loc", u"old1");
    store.Add(u"Loc", u"old2");
    store.Add(u"z", u"9");

    store.SetValues(u"LOC", {u"n", u"N"});  // kept as passed, duplicates included
    EXPECT_EQ(Dump(store), "a=1\nLoc=n\nLoc=N\nz=9\n");

    store.SetValues(u"new", {u"v"});
    EXPECT_EQ(Dump(store), "a=1\nLoc=n\nLoc=N\nz=9\nnew=v\n");

    store.SetValues(u"a", {});  // an entry without values writes nothing
    EXPECT_EQ(Dump(store), "Loc=n\nLoc=N\nz=9\nnew=v\n");
    EXPECT_EQ(store.Entries().size(), 4u);
}
