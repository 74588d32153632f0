#include "kit/kit_name.h"

#include <climits>

#include "text/utf8.h"

namespace kit {

namespace {
bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// Bytes of `name` in UTF-8; a surrogate unit counts 2 (4 for a pair).
size_t Utf8Length(const stdx::basic_string<char16_t>& name) {
    size_t bytes = 0;
    for (char16_t unit : name) {
        bytes += unit < 0x80 ? 1 : (unit < 0x800 || (unit >= 0xD800 && unit < 0xE000)) ? 2 : 3;
    }
    return bytes;
}
}  // namespace

size_t MaxKitNameBytes() {
    return PATH_MAX - 1;
}

bool IsSafeKitName(const stdx::basic_string<char16_t>& name) {
    if (name.empty())
        return true;
    if (IsSeparator(name[0]))
        return false;
    // Before the walk below: a hostile name may be megabytes long.
    if (name.size() > MaxKitNameBytes() || Utf8Length(name) > MaxKitNameBytes())
        return false;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] == 0)
            return false;
        if (i < name.size() && !IsSeparator(name[i]))
            continue;
        if (i - start == 2 && name[start] == u'.' && name[start + 1] == u'.')
            return false;
        start = i + 1;
    }
    return true;
}

bool Utf8ToUtf16(const std::string& in, stdx::basic_string<char16_t>* out) {
    stdx::string16 result;
    if (!stdx::from_utf8(stdx::string8(in.data(), in.size()), result))
        return false;
    out->swap(result);
    return true;
}

std::string Utf16ToUtf8(const stdx::basic_string<char16_t>& in) {
    const stdx::string8 bytes = stdx::to_utf8(in);
    return std::string(bytes.data(), bytes.size());
}

}  // namespace kit
