#include "text/utf8.h"

#include <cstdint>

namespace stdx {

namespace {

void append_code_point(string8& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
        return;
    }
    if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
        return;
    }
    if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
        return;
    }
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
}

bool is_high_surrogate(uint32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low_surrogate(uint32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

string8 to_utf8(const string16& text) {
    string8 out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (is_high_surrogate(cp) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (is_high_surrogate(cp) || is_low_surrogate(cp)) {
            cp = 0xFFFD;
        }
        append_code_point(out, cp);
    }
    return out;
}

bool from_utf8(const string8& text, string16& out) {
    static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    string16 result;
    result.reserve(text.size());
    bool complete = true;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t cp = lead;
        if (lead >= 0x80) {
            if ((lead & 0xE0) == 0xC0) {
                extra = 1;
                cp = lead & 0x1F;
            } else if ((lead & 0xF0) == 0xE0) {
                extra = 2;
                cp = lead & 0x0F;
            } else if ((lead & 0xF8) == 0xF0) {
                extra = 3;
                cp = lead & 0x07;
            } else {
                complete = false;
                break;
            }
        }
        if (text.size() - i <= extra) {
            complete = false;
            break;
        }
        bool valid = true;
        for (size_t k = 1; k <= extra && valid; ++k) {
            const unsigned char cont = static_cast<unsigned char>(text[i + k]);
            valid = (cont & 0xC0) == 0x80;
            cp = (cp << 6) | (cont & 0x3F);
        }
        if (!valid || cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            complete = false;
            break;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            result.push_back(char16_t(0xD800 + (cp >> 10)));
            result.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            result.push_back(char16_t(cp));
        }
        i += extra + 1;
    }
    out.swap(result);
    return complete;
}

}  // namespace stdx
