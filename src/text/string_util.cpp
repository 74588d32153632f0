// Conversions run under a locale object made once from the environment and
// installed per thread with uselocale, using the restartable mbrtowc/wcrtomb:
// no process-wide setlocale on the conversion path, so two threads may
// convert at the same time.
#include "text/string_util.h"

#include <ctype.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

namespace stdx {

namespace {

std::atomic<locale_t> g_conversion_locale{nullptr};
std::once_flag g_locale_once;

locale_t make_environment_locale() {
    locale_t loc = newlocale(LC_ALL_MASK, "", locale_t(0));
    if (loc != locale_t(0))
        return loc;
    // An environment naming a locale that is not installed behaves as "C".
    return newlocale(LC_ALL_MASK, "C", locale_t(0));
}

locale_t conversion_locale() {
    std::call_once(g_locale_once, [] {
        if (g_conversion_locale.load() == nullptr)
            g_conversion_locale.store(make_environment_locale());
    });
    return g_conversion_locale.load(std::memory_order_acquire);
}

// UTF-8 text holds ASCII as the same bytes, whatever the state, so ASCII
// converts without a call per character.
bool is_utf8(locale_t loc) {
    const char* codeset = nl_langinfo_l(CODESET, loc);
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

// The number of leading units that are ASCII (and not zero).
size_t ascii_prefix(const string16& text) {
    size_t n = 0;
    while (n < text.size() && text[n] != 0 && text[n] < 0x80) ++n;
    return n;
}

// Installs the conversion locale on this thread for one scope.
class ScopedLocale {
  public:
    ScopedLocale() : previous_(uselocale(conversion_locale())) {}
    ~ScopedLocale() { uselocale(previous_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    locale_t previous_;
};

}  // namespace

void select_environment_locale() {
    // Earlier locale objects stay alive (and reachable): a conversion on another
    // thread may still be using one. Start-up calls this once; tests a few times.
    static std::mutex retired_lock;
    static auto* retired = new std::vector<locale_t>;  // never destroyed, never freed
    setlocale(LC_ALL, "");
    conversion_locale();
    locale_t old =
        g_conversion_locale.exchange(make_environment_locale(), std::memory_order_acq_rel);
    std::lock_guard<std::mutex> hold(retired_lock);
    retired->push_back(old);
}

size_t replace_all(string16& text, const string16& from, const string16& to) {
    if (from.empty() || text.empty())
        return 0;
    if (from.size() == to.size()) {
        size_t count = 0;
        for (size_t pos = text.find(from); pos != string16::npos;
             pos = text.find(from, pos + from.size())) {
            string16::traits_type::copy(text.data() + pos, to.data(), to.size());
            ++count;
        }
        return count;
    }
    std::vector<size_t> hits;
    for (size_t pos = text.find(from); pos != string16::npos;
         pos = text.find(from, pos + from.size())) {
        hits.push_back(pos);
    }
    if (hits.empty())
        return 0;
    string16 result;
    result.reserve(text.size() + (to.size() - from.size()) * hits.size());
    size_t done = 0;
    for (size_t pos : hits) {
        result.append(text.data() + done, pos - done);
        result.append(to);
        done = pos + from.size();
    }
    result.append(text.data() + done, text.size() - done);
    text.swap(result);
    return hits.size();
}

// Converts the units before the first zero unit; false when a unit has no
// representation and `out` holds only the prefix before it.
static bool narrow_into(const string16& text, string8& out) {
    if (ascii_prefix(text) == text.size() && is_utf8(conversion_locale())) {
        out.assign(text.begin(), text.end());
        return true;
    }
    ScopedLocale scope;
    size_t units = 0;
    while (units < text.size() && text[units] != 0) ++units;
    std::vector<char> buf(4 * units + 1 + MB_LEN_MAX, 0);
    std::mbstate_t state{};
    size_t used = 0;
    bool complete = true;
    for (size_t i = 0; i < units; ++i) {
        size_t n = wcrtomb(buf.data() + used, wchar_t(text[i]), &state);
        if (n == size_t(-1)) {
            complete = false;
            break;
        }
        used += n;
    }
    out.assign(buf.data(), used);
    return complete;
}

// Folds ASCII letters only, as strcasecmp does for UTF-8 text.
static int compare_units_nocase(const string16& a, const string16& b) {
    auto fold = [](char16_t c) -> uint32_t {
        return (c >= u'A' && c <= u'Z') ? uint32_t(c - u'A' + u'a') : uint32_t(c);
    };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        uint32_t ca = fold(a[i]);
        uint32_t cb = fold(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int compare_nocase(const string16& a, const string16& b) {
    string8 na;
    string8 nb;
    // Texts the locale cannot represent would compare by their prefixes only,
    // so "/home/\u00e9" and "/home/\u00fc" would count as one directory; compare
    // their units instead.
    if (!narrow_into(a, na) || !narrow_into(b, nb))
        return compare_units_nocase(a, b);
    return strcasecmp_l(na.c_str(), nb.c_str(), conversion_locale());
}

std::string fold_nocase(const string16& text) {
    std::string key;
    // ASCII text, the usual path, is the same bytes in every locale's
    // encoding: no conversion needed.
    locale_t loc = conversion_locale();
    key.reserve(text.size() + 1);
    key.push_back('n');
    for (char16_t c : text) {
        if (c == 0)
            return key;  // where the conversion stops
        if (c >= 0x80) {
            key.clear();
            break;
        }
        key.push_back(char(tolower_l(c, loc)));
    }
    if (!key.empty())
        return key;
    string8 narrowed;
    if (narrow_into(text, narrowed)) {
        // What strcasecmp_l compares: each byte through the locale's tolower.
        key.reserve(narrowed.size() + 1);
        key.push_back('n');
        for (size_t i = 0; i < narrowed.size(); ++i)
            key.push_back(char(tolower_l(static_cast<unsigned char>(narrowed[i]), loc)));
        return key;
    }
    // What compare_units_nocase compares: ASCII letters folded, two bytes a unit.
    key.reserve(2 * text.size() + 1);
    key.push_back('u');
    for (char16_t c : text) {
        const char16_t folded = (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
        key.push_back(char(folded >> 8));
        key.push_back(char(folded & 0xff));
    }
    return key;
}

string16 format_int(int32_t value, int base) {
    if (base < 2 || base > 36)
        base = 10;
    bool negative = base == 10 && value < 0;
    uint32_t magnitude = negative ? 0u - uint32_t(value) : uint32_t(value);
    char16_t digits[33];
    size_t n = 0;
    do {
        uint32_t d = magnitude % uint32_t(base);
        digits[n++] = char16_t(d < 10 ? u'0' + d : u'a' + (d - 10));
        magnitude /= uint32_t(base);
    } while (magnitude != 0);
    string16 out;
    if (negative)
        out.push_back(u'-');
    while (n > 0) out.push_back(digits[--n]);
    return out;
}

string8 narrow(const string16& text) {
    string8 out;
    narrow_into(text, out);  // not representable: keep the prefix
    return out;
}

string16 widen(const string8& text) {
    const char* p = text.c_str();
    size_t left = std::strlen(p);
    if (std::all_of(p, p + left, [](char c) { return (c & 0x80) == 0; }) &&
        is_utf8(conversion_locale()))
        return string16(p, p + left);
    ScopedLocale scope;
    string16 out;
    std::mbstate_t state{};
    while (left > 0) {
        wchar_t wc = 0;
        size_t n = mbrtowc(&wc, p, left, &state);
        if (n == size_t(-1) || n == size_t(-2) || n == 0)
            break;
        out.push_back(char16_t(uint32_t(wc) & 0xffffu));
        p += n;
        left -= n;
    }
    return out;
}

bool narrow_exact(const string16& text, string8& out) {
    out = narrow(text);
    return widen(out) == text;
}

bool widen_exact(const string8& text, string16& out) {
    out = widen(text);
    return narrow(out) == text;
}

string16 escape_controls(const string16& text) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    string16 out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 && (c < 0x7F || c > 0x9F)) {
            out += c;
            continue;
        }
        const char16_t code[] = {u'\\', u'x', kDigits[(c >> 4) & 0xF], kDigits[c & 0xF], 0};
        out += string16(code);
    }
    return out;
}

}  // namespace stdx
