// Character operations used by stdx::basic_string: length of a zero-terminated
// sequence, copy, overlap-safe move, fill, compare and single-unit search.
#pragma once
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace stdx {

template <class C>
struct fix_char_traits {
    using char_type = C;

    static size_t length(const C* s) {
        const C* p = s;
        while (*p != C(0)) ++p;
        return size_t(p - s);
    }
    static C* copy(C* dst, const C* src, size_t n) {
        if (n != 0)
            std::memcpy(dst, src, n * sizeof(C));
        return dst;
    }
    static C* move(C* dst, const C* src, size_t n) {
        if (n != 0)
            std::memmove(dst, src, n * sizeof(C));
        return dst;
    }
    static C* assign(C* dst, size_t n, C unit) {
        for (size_t i = 0; i < n; ++i) dst[i] = unit;
        return dst;
    }
    // Compares unit values as unsigned numbers, so 8-bit text orders like memcmp.
    static int compare(const C* a, const C* b, size_t n) {
        using U = std::make_unsigned_t<C>;
        for (size_t i = 0; i < n; ++i) {
            if (U(a[i]) != U(b[i]))
                return U(a[i]) < U(b[i]) ? -1 : 1;
        }
        return 0;
    }
    static const C* find(const C* s, size_t n, C unit) {
        for (size_t i = 0; i < n; ++i) {
            if (s[i] == unit)
                return s + i;
        }
        return nullptr;
    }
};

}  // namespace stdx
