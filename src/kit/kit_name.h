// Checks on names and texts that come out of a kit, shared by the reader and
// the writer: a name from the file table is later joined to the template
// directory, so it must not be able to point outside it.
#pragma once
#include <string>

#include "text/basic_string.h"

namespace kit {

// The longest name, in UTF-8 bytes, that the system can hold as a path
// (PATH_MAX less its terminating zero). A longer or deeper one could never be
// installed, and walking it would cost time and memory out of all proportion.
size_t MaxKitNameBytes();

// True when `name` ("\" or "/" separated) stays inside the directory it is
// joined to: no ".." component, no leading separator, no zero unit, and no
// longer than MaxKitNameBytes. The empty name is allowed (it names nothing
// and installs nothing useful, but does not escape).
bool IsSafeKitName(const stdx::basic_string<char16_t>& name);

// Strict UTF-8 <-> UTF-16 conversion for names and texts that the kit tools
// take from the command line and the disk, independent of the locale.
bool Utf8ToUtf16(const std::string& in, stdx::basic_string<char16_t>* out);
std::string Utf16ToUtf8(const stdx::basic_string<char16_t>& in);

}  // namespace kit
