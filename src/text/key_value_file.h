// Reading and writing key=value text files.
//
// File form: lines separated by line feeds, or by carriage return and line
// feed (an editor's choice; the carriage return is not part of the text);
// the first "=" of a line splits key from value, later ones belong to the
// value; a line without "=" is a key with an empty value, and is written
// back without "=" (a user's comment line comes back as it was). Nothing is
// trimmed, quoted or escaped, so spaces, tabs and a carriage return inside a
// line are part of the text. Empty lines (and a lone "=") add nothing. On disk the text is in the
// multibyte encoding of the environment's locale, without a byte-order mark of its own.
#pragma once

#include <exception>

#include "text/basic_string.h"
#include "text/key_value_store.h"

// How a read went. Callers that only fill a store may ignore it; a caller
// that intends to write the file back should not do so after
// kKeyValueUndecodable, because the undecodable text is not in the store.
enum KeyValueReadResult {
    kKeyValueRead = 0,         // the whole file was read and decoded
    kKeyValueNotOpened = 1,    // missing, unreadable, or a FIFO or device: nothing was added
    kKeyValueUndecodable = 2,  // some bytes were skipped (not valid in the locale),
                               // or a character beyond 16 bits was cut to 16
    kKeyValueReadError = 3,    // a read failed part way; what came before is kept
};

// Adds every line of the file at `path` to `store` (KeyValueStore::Add).
// Never throws for file problems; a file that cannot be opened adds nothing.
KeyValueReadResult ReadKeyValueFile(const stdx::string16& path, KeyValueStore& store);

// Thrown by WriteKeyValueFile. code() is 1 when the new file could not be
// created, 2 when writing it failed. In both cases the file at the path is
// exactly as it was before the call.
class KeyValueWriteError : public std::exception {
  public:
    explicit KeyValueWriteError(int code) : code_(code) {}
    int code() const { return code_; }
    const char* what() const noexcept override;

  private:
    int code_;
};

// Replaces the file at `path` with one line per value ("key=value" and the
// line end the store was read with), entry by entry. The new content goes to a temporary file in
// the same directory, is flushed to disk and then renamed over the old file, which keeps its
// permission bits; a failure at any step leaves the old file untouched.
// Throws KeyValueWriteError.
void WriteKeyValueFile(const stdx::string16& path, const KeyValueStore& store);
