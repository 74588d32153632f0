// In-memory form of a key=value settings file: an ordered list of entries,
// each a key with an ordered list of values. Keys and values are compared
// without regard to case (stdx::compare_nocase), so a key that comes again
// adds to its first entry and a value that is already there is not repeated.
// Both tests go through hash tables of the folded texts, so a file of tens of
// thousands of lines is read in linear time.
// The store also remembers how the file wrote what carries no value (a line
// without "=", the line end), so that writing it back keeps the file's form.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "text/basic_string.h"

// How a line was written: "key=value", or the key alone (a user's comment
// such as "# note" is such a line).
enum class KeyValueLine { kWithSeparator, kKeyOnly };

// The line end a file used; it is written back the same way.
enum class KeyValueLineEnd { kLineFeed, kCarriageReturnLineFeed };

struct KeyValueEntry {
    stdx::string16 key;                  // spelled as first added
    std::vector<stdx::string16> values;  // in the order they were added
    // The empty value came from a line without "=": written back as the key alone.
    bool keyOnly = false;
};

class KeyValueStore {
  public:
    // Appends `value` to the entry of `key` (or a new entry at the end).
    // Returns false, changing nothing, when an equal value is already there.
    bool Add(const stdx::string16& key, const stdx::string16& value,
             KeyValueLine line = KeyValueLine::kWithSeparator);

    // The values of the entry whose key matches, or null when there is none.
    // The pointer stays valid until the store is next changed.
    const std::vector<stdx::string16>* Find(const stdx::string16& key) const;

    // Replaces the values of the matching entry in place (its key and position
    // stay); appends a new entry when there is none. The list is kept as given.
    void SetValues(const stdx::string16& key, const std::vector<stdx::string16>& values);

    const std::vector<KeyValueEntry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

    KeyValueLineEnd LineEnd() const { return lineEnd_; }
    void SetLineEnd(KeyValueLineEnd lineEnd) { lineEnd_ = lineEnd; }

  private:
    KeyValueEntry* FindEntry(const stdx::string16& key);
    const KeyValueEntry* FindEntry(const stdx::string16& key) const;

    std::vector<KeyValueEntry> entries_;
    // Folded key (stdx::fold_nocase) -> index into entries_.
    std::unordered_map<std::string, size_t> entryIndex_;
    // Per entry, the folded texts of its values.
    std::vector<std::unordered_set<std::string>> valueIndex_;
    KeyValueLineEnd lineEnd_ = KeyValueLineEnd::kLineFeed;
};
