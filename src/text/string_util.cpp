// PROVISIONAL implementation; replaced by the locale-once version.
#include "text/string_util.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

namespace stdx {

size_t replace_all(string16& text, const string16& from, const string16& to) {
    if (from.empty() || text.empty()) return 0;
    size_t n = 0;
    for (size_t pos = text.find(from); pos != string16::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
        ++n;
    }
    return n;
}

int compare_nocase(const string16& a, const string16& b) {
    return strcasecmp(narrow(a).c_str(), narrow(b).c_str());
}

string16 format_int(int32_t value, int base) {
    uint32_t mag = (base == 10 && value < 0) ? 0u - uint32_t(value) : uint32_t(value);
    string16 out;
    do {
        uint32_t d = mag % uint32_t(base);
        out.insert(out.begin(), char16_t(d < 10 ? u'0' + d : u'a' + d - 10));
        mag /= uint32_t(base);
    } while (mag);
    if (base == 10 && value < 0) out.insert(out.begin(), u'-');
    return out;
}

string8 narrow(const string16& text) {
    std::wstring w(text.begin(), text.end());
    std::vector<char> buf(4 * w.size() + 1, 0);
    size_t n = wcstombs(buf.data(), w.c_str(), buf.size());
    if (n == size_t(-1)) return string8();
    return string8(buf.data(), n);
}

string16 widen(const string8& text) {
    size_t n = mbstowcs(nullptr, text.c_str(), 0);
    if (n == size_t(-1)) return string16();
    std::vector<wchar_t> buf(n + 1);
    mbstowcs(buf.data(), text.c_str(), n + 1);
    string16 out;
    for (size_t i = 0; i < n; ++i) out.push_back(char16_t(buf[i]));
    return out;
}

}  // namespace stdx
