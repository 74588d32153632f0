// Reads a key=value file into a KeyValueStore without loading it whole:
// bytes come in blocks of 1024 and are decoded as one continuous multibyte
// sequence (a character split across two blocks decodes as one), and the
// parser collects units in a token buffer of 2048 that is moved into the
// key or value whenever it fills, so lines of any length are read whole.
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "text/key_value_file.h"
#include "text/key_value_path.h"
#include "text/string_util.h"

namespace {

constexpr size_t kBlockBytes = 1024;
constexpr size_t kTokenUnits = 2048;

// The line grammar: the first "=" of a line ends the key, a line feed (or a
// carriage return and line feed) ends the line, every other unit belongs to
// the key or the value. The first line end decides how the store writes the
// file back.
class LineParser {
  public:
    explicit LineParser(KeyValueStore& store) : store_(store) {}

    void Put(char16_t unit) {
        // A carriage return waits for the next unit: before a line feed it is
        // part of the line end, anywhere else it is text.
        if (pendingReturn_) {
            pendingReturn_ = false;
            if (unit == u'\n') {
                NoteLineEnd(KeyValueLineEnd::kCarriageReturnLineFeed);
                EndLine();
                return;
            }
            Append(u'\r');
        }
        if (unit == u'\r') {
            pendingReturn_ = true;
            return;
        }
        if (unit == u'\n') {
            NoteLineEnd(KeyValueLineEnd::kLineFeed);
            EndLine();
            return;
        }
        if (unit == u'=' && !inValue_) {
            FlushToken();
            inValue_ = true;
            return;
        }
        Append(unit);
    }

    // The last line counts whether or not it ended with a line feed; a
    // carriage return at the very end belongs to the line end.
    void Finish() {
        pendingReturn_ = false;
        EndLine();
    }

  private:
    void Append(char16_t unit) {
        token_[tokenCount_++] = unit;
        if (tokenCount_ == kTokenUnits)
            FlushToken();
    }

    void NoteLineEnd(KeyValueLineEnd lineEnd) {
        if (sawLineEnd_)
            return;
        sawLineEnd_ = true;
        store_.SetLineEnd(lineEnd);
    }

    void FlushToken() {
        if (tokenCount_ == 0)
            return;
        (inValue_ ? value_ : key_).append(token_, tokenCount_);
        tokenCount_ = 0;
    }

    void EndLine() {
        FlushToken();
        if (!key_.empty() || !value_.empty())
            store_.Add(key_, value_,
                       inValue_ ? KeyValueLine::kWithSeparator : KeyValueLine::kKeyOnly);
        key_.clear();
        value_.clear();
        inValue_ = false;
    }

    KeyValueStore& store_;
    stdx::string16 key_;
    stdx::string16 value_;
    bool inValue_ = false;
    bool pendingReturn_ = false;
    bool sawLineEnd_ = false;
    char16_t token_[kTokenUnits];
    size_t tokenCount_ = 0;
};

FILE* OpenForReading(const stdx::string16& path) {
    stdx::string8 name;
    if (!keyvalue_detail::NativePath(path, name))
        return nullptr;
    // A FIFO or device would make fopen wait for its other end. (A directory
    // opens and then fails to read, which is reported as a read error.)
    struct stat status;
    if (stat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        return nullptr;
    }
    // Both modes mean plain reading on the systems we build for; the second
    // is only a retry for a libc that rejects the first.
    FILE* file = std::fopen(name.c_str(), "rt, ccs=UNICODE");
    if (file != nullptr)
        return file;
    return std::fopen(name.c_str(), "rt, ccs=UTF-8");
}

// A libc that consumed a byte-order mark while opening delivers raw 16-bit
// units in host order.
KeyValueReadResult ReadUnits(FILE* file, LineParser& parser) {
    char16_t block[kTokenUnits];
    size_t got;
    while ((got = std::fread(block, sizeof(char16_t), kTokenUnits, file)) > 0) {
        for (size_t i = 0; i < got; ++i) parser.Put(block[i]);
    }
    return std::ferror(file) ? kKeyValueReadError : kKeyValueRead;
}

// The environment's locale, installed on this thread for one read only, so
// that no other thread's conversions are disturbed.
class EnvironmentLocale {
  public:
    EnvironmentLocale() {
        own_ = newlocale(LC_ALL_MASK, "", locale_t(0));
        // A locale that is not installed behaves as "C".
        if (own_ == locale_t(0))
            own_ = newlocale(LC_ALL_MASK, "C", locale_t(0));
        if (own_ != locale_t(0))
            previous_ = uselocale(own_);
    }
    ~EnvironmentLocale() {
        if (own_ == locale_t(0))
            return;
        uselocale(previous_);
        freelocale(own_);
    }
    EnvironmentLocale(const EnvironmentLocale&) = delete;
    EnvironmentLocale& operator=(const EnvironmentLocale&) = delete;

  private:
    locale_t own_ = locale_t(0);
    locale_t previous_ = locale_t(0);
};

// Bytes in the locale's multibyte encoding. Undecodable bytes are skipped
// one at a time and reported; so is a NUL, which no text of ours can hold.
// A character beyond 16 bits is reported too.
KeyValueReadResult ReadMultibyte(FILE* file, LineParser& parser) {
    EnvironmentLocale locale;
    // In UTF-8 an ASCII byte between characters is that character: no call
    // per byte for the usual launcher file.
    const char* codeset = nl_langinfo(CODESET);
    const bool utf8 = codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
    std::mbstate_t state{};
    bool pending = false;  // a character's first bytes are in `state`
    bool skipped = false;
    bool cut = false;  // a character lost its bits above 16
    char block[kBlockBytes];
    size_t got;
    while ((got = std::fread(block, 1, kBlockBytes, file)) > 0) {
        size_t pos = 0;
        while (pos < got) {
            if (utf8 && !pending && (block[pos] & 0x80) == 0 && block[pos] != 0) {
                parser.Put(static_cast<char16_t>(block[pos]));
                ++pos;
                continue;
            }
            wchar_t wide = 0;
            const size_t used = std::mbrtowc(&wide, block + pos, got - pos, &state);
            if (used == static_cast<size_t>(-2)) {  // the character goes on in the next block
                pending = true;
                break;
            }
            pending = false;
            if (used == static_cast<size_t>(-1)) {
                state = std::mbstate_t{};
                skipped = true;
                ++pos;
                continue;
            }
            if (used == 0) {
                skipped = true;
                ++pos;
                continue;
            }
            pos += used;
            // Kept as its low 16 bits, as stdx::widen does, but the store no
            // longer holds the file's text: writing it back would replace
            // the character by another one.
            if (static_cast<unsigned long>(wide) > 0xFFFF)
                cut = true;
            parser.Put(static_cast<char16_t>(wide));
        }
    }
    if (std::ferror(file))
        return kKeyValueReadError;
    return (skipped || pending || cut) ? kKeyValueUndecodable : kKeyValueRead;
}

}  // namespace

KeyValueReadResult ReadKeyValueFile(const stdx::string16& path, KeyValueStore& store) {
    FILE* file = OpenForReading(path);
    if (file == nullptr)
        return kKeyValueNotOpened;
    LineParser parser(store);
    const bool rawUnits = std::ftell(file) > 0;
    const KeyValueReadResult result =
        rawUnits ? ReadUnits(file, parser) : ReadMultibyte(file, parser);
    parser.Finish();
    std::fclose(file);
    return result;
}
