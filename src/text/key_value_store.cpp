// Ordered key/value store with case-insensitive keys and values.
#include "text/key_value_store.h"

#include "text/string_util.h"

namespace {

bool ContainsNoCase(const std::vector<stdx::string16>& values, const stdx::string16& value) {
    for (const stdx::string16& v : values) {
        if (stdx::compare_nocase(v, value) == 0)
            return true;
    }
    return false;
}

}  // namespace

KeyValueEntry* KeyValueStore::FindEntry(const stdx::string16& key) {
    for (KeyValueEntry& entry : entries_) {
        if (stdx::compare_nocase(entry.key, key) == 0)
            return &entry;
    }
    return nullptr;
}

bool KeyValueStore::Add(const stdx::string16& key, const stdx::string16& value, KeyValueLine line) {
    const bool keyOnly = line == KeyValueLine::kKeyOnly && value.empty();
    KeyValueEntry* entry = FindEntry(key);
    if (entry == nullptr) {
        entries_.push_back(KeyValueEntry{key, {value}, keyOnly});
        return true;
    }
    if (ContainsNoCase(entry->values, value))
        return false;
    entry->values.push_back(value);
    entry->keyOnly = entry->keyOnly || keyOnly;
    return true;
}

const std::vector<stdx::string16>* KeyValueStore::Find(const stdx::string16& key) const {
    for (const KeyValueEntry& entry : entries_) {
        if (stdx::compare_nocase(entry.key, key) == 0)
            return &entry.values;
    }
    return nullptr;
}

void KeyValueStore::SetValues(const stdx::string16& key,
                              const std::vector<stdx::string16>& values) {
    KeyValueEntry* entry = FindEntry(key);
    if (entry == nullptr) {
        entries_.push_back(KeyValueEntry{key, values, false});
        return;
    }
    entry->values = values;
    entry->keyOnly = false;
}
