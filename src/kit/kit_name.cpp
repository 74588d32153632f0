#include "kit/kit_name.h"

#include "text/utf8.h"

namespace kit {

namespace {
bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}
}  // namespace

bool IsSafeKitName(const stdx::basic_string<char16_t>& name) {
    if (name.empty())
        return true;
    if (IsSeparator(name[0]))
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
