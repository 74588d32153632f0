// Out-of-line members of stdx::basic_string: growth, unsharing and the
// operations that must stay correct when their source lies inside the string.
#pragma once

namespace stdx {

#define STDX_STRING_TEMPLATE template <class C, class Traits, class Alloc>
#define STDX_STRING basic_string<C, Traits, Alloc>

STDX_STRING_TEMPLATE
void STDX_STRING::init(const C* s, size_type n) {
    if (n <= kInlineUnits - 1) {
        Traits::copy(rep_.u.buf, s, n);
        set_inline_length(uint32_t(n));
        return;
    }
    if (n > max_size())
        throw std::length_error("basic_string");
    adopt_new_block(n + kHeaderUnits, s, n);
}

// Makes a shared block private: a copy of exactly the current size.
STDX_STRING_TEMPLATE
void STDX_STRING::unshare() {
    if (!is_heap())
        return;
    C* old = rep_.u.heap.block;
    if (count_of(old).load(std::memory_order_acquire) == 1)
        return;
    size_type n = size();
    adopt_new_block(n + kHeaderUnits, old + kHeaderUnits, n);
    // At least one other string still refers to the old block; never freed here.
    count_of(old).fetch_sub(1, std::memory_order_acq_rel);
}

// Rounds a block size in units up by the byte-size table, so that blocks fall
// into few size classes and repeated appends reallocate rarely.
STDX_STRING_TEMPLATE
typename STDX_STRING::size_type STDX_STRING::rounded_units(size_type units) {
    size_type bytes = units * sizeof(C);
    size_type step = 0;
    if (bytes <= 256)
        step = 8;
    else if (bytes <= 512)
        step = 16;
    else if (bytes <= 1023)
        step = 32;
    else if (bytes <= 2047)
        step = 64;
    else if (bytes <= 4095)
        step = 128;
    else if (bytes <= 8191)
        step = 256;
    else if (bytes <= 16383)
        step = 512;
    if (step != 0)
        bytes = (bytes + step - 1) / step * step;
    return bytes / sizeof(C);
}

// Makes the string private and gives it room for `n` text units. The text
// pointer may change: callers recompute any pointer into their own text.
STDX_STRING_TEMPLATE
void STDX_STRING::ensure(size_type n, Growth growth) {
    if (n > max_size())
        throw std::length_error("basic_string");
    if (!is_heap()) {
        if (n <= kInlineUnits - 1)
            return;
        // First heap block: exactly the needed size, unrounded.
        adopt_new_block(n + kHeaderUnits, rep_.u.buf, rep_.len);
        return;
    }
    unshare();
    size_type need = n + kHeaderUnits;
    size_type cap = rep_.u.heap.cap;
    if (cap >= need)
        return;
    size_type target = need;
    if (growth == Growth::kAmortized && cap + cap / 2 > target)
        target = cap + cap / 2;
    if (growth != Growth::kExact)
        target = rounded_units(target);
    C* old = rep_.u.heap.block;
    size_type old_cap = cap;
    adopt_new_block(target, old + kHeaderUnits, size());
    free_block(old, old_cap);  // was private: unshared above
}

STDX_STRING_TEMPLATE
STDX_STRING& STDX_STRING::append(const C* s, size_type n) {
    if (n == 0)
        return *this;
    size_type old = size();
    if (n > max_size() - old)
        throw std::length_error("basic_string");
    const C* t = text();
    bool inside = s >= t && s <= t + old;
    size_type offset = inside ? size_type(s - t) : 0;
    ensure(old + n, Growth::kAmortized);
    C* p = heap_or_inline_text();
    if (inside)
        s = p + offset;
    Traits::move(p + old, s, n);
    set_size(old + n);
    return *this;
}

STDX_STRING_TEMPLATE
template <class It, class>
STDX_STRING& STDX_STRING::append(It first, It last) {
    // A contiguous range inside our own text: copy it out first.
    if constexpr (std::is_pointer<It>::value &&
                  std::is_same<std::remove_cv_t<std::remove_pointer_t<It>>, C>::value) {
        const C* t = text();
        if (first >= t && first <= t + size()) {
            basic_string copy(first, size_type(last - first));
            return append(copy.begin(), copy.end());
        }
    }
    size_type n = size_type(std::distance(first, last));
    size_type old = size();
    if (n > max_size() - old)
        throw std::length_error("basic_string");
    ensure(old + n, Growth::kExact);
    C* p = heap_or_inline_text() + old;
    for (; first != last; ++first) *p++ = C(*first);
    set_size(old + n);
    return *this;
}

STDX_STRING_TEMPLATE
STDX_STRING& STDX_STRING::assign(const C* s, size_type n) {
    const C* t = text();
    bool inside = s >= t && s <= t + size();
    if (!is_heap()) {
        if (n <= kInlineUnits - 1) {
            Traits::move(rep_.u.buf, s, n);
            set_inline_length(uint32_t(n));
            return *this;
        }
        if (n > max_size())
            throw std::length_error("basic_string");
        // The source is read before the union is overwritten.
        adopt_new_block(n + kHeaderUnits, s, n);
        return *this;
    }
    size_type offset = inside ? size_type(s - t) : 0;
    ensure(n, Growth::kExactRounded);
    C* p = heap_or_inline_text();
    if (inside)
        s = p + offset;
    Traits::move(p, s, n);
    set_size(n);
    return *this;
}

// Inserting at the end is an append; elsewhere the result is built in a new
// string and swapped in, so a source inside this string stays valid.
STDX_STRING_TEMPLATE
void STDX_STRING::insert_at(size_type pos, const C* s, size_type n) {
    if (pos == size()) {
        append(s, s + n);
        return;
    }
    basic_string result;
    result.reserve(size() + n);
    result.append(text(), text() + pos);
    result.append(s, s + n);
    result.append(text() + pos, text() + size());
    swap(result);
}

STDX_STRING_TEMPLATE
template <class It, class>
typename STDX_STRING::iterator STDX_STRING::insert(const_iterator pos, It first, It last) {
    size_type off = size_type(pos - text());
    if (off == size()) {
        append(first, last);
        return writable() + off;
    }
    basic_string result;
    result.append(text(), text() + off);
    result.append(first, last);
    result.append(text() + off, text() + size());
    swap(result);
    return writable() + off;
}

STDX_STRING_TEMPLATE
STDX_STRING& STDX_STRING::erase(size_type pos, size_type n) {
    size_type len = size();
    if (pos > len)
        throw std::out_of_range("basic_string");
    n = clamp(n, len - pos);
    if (n == 0)
        return *this;
    C* p = writable();
    Traits::move(p + pos, p + pos + n, len - pos - n);
    set_size(len - n);
    return *this;
}

STDX_STRING_TEMPLATE
STDX_STRING& STDX_STRING::replace(size_type pos, size_type n1, const C* s, size_type n2) {
    size_type len = size();
    if (pos > len)
        throw std::out_of_range("basic_string");
    n1 = clamp(n1, len - pos);
    basic_string result;
    result.reserve(len - n1 + n2);
    result.append(text(), text() + pos);
    result.append(s, s + n2);
    result.append(text() + pos + n1, text() + len);
    swap(result);
    return *this;
}

STDX_STRING_TEMPLATE
void STDX_STRING::resize(size_type n, C unit) {
    size_type len = size();
    if (n <= len) {
        if (n == len)
            return;
        writable();
        set_size(n);  // a heap string stays in heap form, even at 0
        return;
    }
    ensure(n, Growth::kExactRounded);
    Traits::assign(heap_or_inline_text() + len, n - len, unit);
    set_size(n);
}

STDX_STRING_TEMPLATE
void STDX_STRING::reserve(size_type n) {
    if (n > size_type(PTRDIFF_MAX) - 1)
        throw std::length_error("basic_string");
    if (!is_heap() && n <= kInlineUnits - 1)
        return;
    if (is_heap() && rep_.u.heap.cap >= n + kHeaderUnits)
        return;  // never shrinks
    ensure(n, Growth::kExact);
}

// An empty string finds nothing, not even an empty needle.
STDX_STRING_TEMPLATE
typename STDX_STRING::size_type STDX_STRING::find(const C* s, size_type pos, size_type n) const {
    size_type len = size();
    if (len == 0 || n > len || pos > len - n)
        return npos;
    const C* t = text();
    for (size_type i = pos; i + n <= len; ++i) {
        if (Traits::compare(t + i, s, n) == 0)
            return i;
    }
    return npos;
}

STDX_STRING_TEMPLATE
typename STDX_STRING::size_type STDX_STRING::rfind(const C* s, size_type pos, size_type n) const {
    size_type len = size();
    if (len == 0 || n > len)
        return npos;
    size_type i = clamp(pos, len - n);
    const C* t = text();
    for (;;) {
        if (Traits::compare(t + i, s, n) == 0)
            return i;
        if (i == 0)
            return npos;
        --i;
    }
}

// --- free operators ---

STDX_STRING_TEMPLATE
bool operator==(const STDX_STRING& a, const STDX_STRING& b) {
    return a.size() == b.size() && Traits::compare(a.data(), b.data(), a.size()) == 0;
}
STDX_STRING_TEMPLATE
bool operator==(const STDX_STRING& a, const C* b) {
    return a.compare(b) == 0;
}
STDX_STRING_TEMPLATE
bool operator==(const C* a, const STDX_STRING& b) {
    return b.compare(a) == 0;
}
STDX_STRING_TEMPLATE
bool operator!=(const STDX_STRING& a, const STDX_STRING& b) {
    return !(a == b);
}
STDX_STRING_TEMPLATE
bool operator!=(const STDX_STRING& a, const C* b) {
    return !(a == b);
}
STDX_STRING_TEMPLATE
bool operator!=(const C* a, const STDX_STRING& b) {
    return !(b == a);
}
// Bytewise for 8-bit strings: common prefix by value, then the shorter first.
STDX_STRING_TEMPLATE
bool operator<(const STDX_STRING& a, const STDX_STRING& b) {
    return a.compare(b) < 0;
}
STDX_STRING_TEMPLATE
bool operator>(const STDX_STRING& a, const STDX_STRING& b) {
    return b.compare(a) < 0;
}
STDX_STRING_TEMPLATE
bool operator<=(const STDX_STRING& a, const STDX_STRING& b) {
    return a.compare(b) <= 0;
}
STDX_STRING_TEMPLATE
bool operator>=(const STDX_STRING& a, const STDX_STRING& b) {
    return a.compare(b) >= 0;
}

// Concatenation sizes the result for the sum first (one exact block), then appends.
STDX_STRING_TEMPLATE
STDX_STRING detail_concat(const C* a, size_t na, const C* b, size_t nb) {
    STDX_STRING r;
    r.reserve(na + nb);
    r.append(a, a + na);
    r.append(b, b + nb);
    return r;
}
STDX_STRING_TEMPLATE
STDX_STRING operator+(const STDX_STRING& a, const STDX_STRING& b) {
    return detail_concat<C, Traits, Alloc>(a.data(), a.size(), b.data(), b.size());
}
STDX_STRING_TEMPLATE
STDX_STRING operator+(const STDX_STRING& a, const C* b) {
    return detail_concat<C, Traits, Alloc>(a.data(), a.size(), b, Traits::length(b));
}
STDX_STRING_TEMPLATE
STDX_STRING operator+(const C* a, const STDX_STRING& b) {
    return detail_concat<C, Traits, Alloc>(a, Traits::length(a), b.data(), b.size());
}
STDX_STRING_TEMPLATE
STDX_STRING operator+(const STDX_STRING& a, C b) {
    return detail_concat<C, Traits, Alloc>(a.data(), a.size(), &b, 1);
}
STDX_STRING_TEMPLATE
STDX_STRING operator+(C a, const STDX_STRING& b) {
    return detail_concat<C, Traits, Alloc>(&a, 1, b.data(), b.size());
}

STDX_STRING_TEMPLATE
void swap(STDX_STRING& a, STDX_STRING& b) noexcept {
    a.swap(b);
}

#undef STDX_STRING
#undef STDX_STRING_TEMPLATE

}  // namespace stdx

namespace std {
template <class C, class T, class A>
struct hash<stdx::basic_string<C, T, A>> {
    size_t operator()(const stdx::basic_string<C, T, A>& s) const noexcept {
        size_t h = 1469598103934665603ull;  // FNV-1a over the units
        for (C u : s) h = (h ^ size_t(u)) * 1099511628211ull;
        return h;
    }
};
}  // namespace std
