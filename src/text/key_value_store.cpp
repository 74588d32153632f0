// Ordered key/value store with case-insensitive keys and values.
#include "text/key_value_store.h"

#include "text/string_util.h"

KeyValueEntry* KeyValueStore::FindEntry(const stdx::string16& key) {
    auto found = entryIndex_.find(stdx::fold_nocase(key));
    return found == entryIndex_.end() ? nullptr : &entries_[found->second];
}

const KeyValueEntry* KeyValueStore::FindEntry(const stdx::string16& key) const {
    auto found = entryIndex_.find(stdx::fold_nocase(key));
    return found == entryIndex_.end() ? nullptr : &entries_[found->second];
}

bool KeyValueStore::Add(const stdx::string16& key, const stdx::string16& value, KeyValueLine line) {
    const bool keyOnly = line == KeyValueLine::kKeyOnly && value.empty();
    std::string folded = stdx::fold_nocase(key);
    auto found = entryIndex_.find(folded);
    if (found == entryIndex_.end()) {
        entryIndex_.emplace(std::move(folded), entries_.size());
        entries_.push_back(KeyValueEntry{key, {value}, keyOnly});
        valueIndex_.push_back({stdx::fold_nocase(value)});
        return true;
    }
    const size_t index = found->second;
    if (!valueIndex_[index].insert(stdx::fold_nocase(value)).second)
        return false;
    KeyValueEntry& entry = entries_[index];
    entry.values.push_back(value);
    entry.keyOnly = entry.keyOnly || keyOnly;
    return true;
}

const std::vector<stdx::string16>* KeyValueStore::Find(const stdx::string16& key) const {
    const KeyValueEntry* entry = FindEntry(key);
    return entry == nullptr ? nullptr : &entry->values;
}

void KeyValueStore::SetValues(const stdx::string16& key,
                              const std::vector<stdx::string16>& values) {
    std::unordered_set<std::string> folded;
    folded.reserve(values.size());
    for (const stdx::string16& value : values) folded.insert(stdx::fold_nocase(value));
    KeyValueEntry* entry = FindEntry(key);
    if (entry == nullptr) {
        entryIndex_.emplace(stdx::fold_nocase(key), entries_.size());
        entries_.push_back(KeyValueEntry{key, values, false});
        valueIndex_.push_back(std::move(folded));
        return;
    }
    entry->values = values;
    entry->keyOnly = false;
    valueIndex_[size_t(entry - entries_.data())] = std::move(folded);
}
