// The system's string type, in two instances: stdx::string16 (char16_t, the
// text type for paths, keys, messages) and stdx::string8 (char, bytes in the
// locale's multibyte encoding, used at the edges towards libc).
//
// Object layout (packed, 4-byte aligned):
//
//   +--------------+---------------------------------------------------+
//   | length word  | union: inline units (24 bytes, 20 on 32-bit)       |
//   | uint32       |    or heap descriptor: block*, end*, capacity      |
//   +--------------+---------------------------------------------------+
//
// N = inline buffer length in units (12/10 for 16-bit, 24/20 for 8-bit).
// Inline form: length word = L (0 <= L <= N-1), text in the buffer, unit L = 0.
// Heap form: length word = N exactly; the descriptor is valid.
//
// Heap block (allocated with room for capacity + 1 units):
//
//   +-------------------------+---------------------------+------+
//   | reference count         | text units                | 0    |
//   | intptr_t (H units)      | length = end - block - H  |      |
//   +-------------------------+---------------------------+------+
//   capacity counts the header and text units, not the terminator.
//
// Copies share a heap block (atomic count); every write unshares first.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "text/char_traits.h"

// GCC 12 follows inline-buffer copies into paths that the length guards make
// unreachable (the heap block is used there) and warns about them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace stdx {

template <class C, class Traits = fix_char_traits<C>, class Alloc = std::allocator<C>>
class basic_string {
  public:
    using value_type = C;
    using traits_type = Traits;
    using allocator_type = Alloc;
    using size_type = size_t;
    using difference_type = ptrdiff_t;
    using reference = C&;
    using const_reference = const C&;
    using pointer = C*;
    using const_pointer = const C*;
    using iterator = C*;
    using const_iterator = const C*;

    static constexpr size_type npos = size_type(-1);
    // Inline buffer length in units; a length word equal to it means heap form.
    static constexpr uint32_t kInlineUnits = uint32_t(3 * sizeof(void*) / sizeof(C));
    // Units taken by the reference count at the start of a heap block.
    static constexpr size_type kHeaderUnits = sizeof(intptr_t) / sizeof(C);

    basic_string() noexcept { set_inline_length(0); }
    basic_string(const C* s) { init(s, Traits::length(s)); }
    basic_string(const C* s, size_type n) { init(s, n); }
    basic_string(size_type n, C unit) {
        set_inline_length(0);
        resize(n, unit);
    }
    template <class It, class = std::enable_if_t<!std::is_integral<It>::value>>
    basic_string(It first, It last) {
        set_inline_length(0);
        append(first, last);
    }
    basic_string(const basic_string& other) noexcept {
        std::memcpy(static_cast<void*>(&rep_), &other.rep_, sizeof(rep_));
        if (is_heap())
            add_ref(rep_.u.heap.block);
    }
    basic_string(basic_string&& other) noexcept {
        set_inline_length(0);
        swap(other);
    }
    ~basic_string() { release(); }

    basic_string& operator=(const basic_string& other) {
        if (this == &other)
            return *this;
        // Count the source's block before releasing ours: both may be the same block.
        if (other.is_heap())
            add_ref(other.rep_.u.heap.block);
        release();
        std::memcpy(static_cast<void*>(&rep_), &other.rep_, sizeof(rep_));
        return *this;
    }
    basic_string& operator=(basic_string&& other) noexcept {
        swap(other);
        return *this;
    }
    basic_string& operator=(const C* s) { return assign(s, Traits::length(s)); }

    // --- size and read access: never touch sharing ---
    size_type size() const noexcept {
        if (!is_heap())
            return rep_.len;
        return size_type(rep_.u.heap.end - rep_.u.heap.block) - kHeaderUnits;
    }
    size_type length() const noexcept { return size(); }
    bool empty() const noexcept { return size() == 0; }
    size_type capacity() const noexcept {
        return is_heap() ? rep_.u.heap.cap - kHeaderUnits : kInlineUnits - 1;
    }
    size_type max_size() const noexcept {
        return size_type(PTRDIFF_MAX) / sizeof(C) - kHeaderUnits - 1;
    }
    const C* c_str() const noexcept { return text(); }
    const C* data() const noexcept { return text(); }
    const C& operator[](size_type i) const { return text()[i]; }
    const C& at(size_type i) const {
        if (i >= size())
            throw std::out_of_range("basic_string");
        return text()[i];
    }
    const C& front() const { return text()[0]; }
    const C& back() const { return text()[size() - 1]; }
    const_iterator begin() const noexcept { return text(); }
    const_iterator end() const noexcept { return text() + size(); }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }

    // --- writable access: unshares first ---
    C* data() { return writable(); }
    C& operator[](size_type i) { return writable()[i]; }
    C& at(size_type i) {
        if (i >= size())
            throw std::out_of_range("basic_string");
        return writable()[i];
    }
    C& front() { return writable()[0]; }
    C& back() { return writable()[size() - 1]; }
    iterator begin() { return writable(); }
    iterator end() { return writable() + size(); }

    // --- append ---
    basic_string& append(const C* s, size_type n);
    basic_string& append(const C* s) { return append(s, Traits::length(s)); }
    basic_string& append(const basic_string& s) { return append(s.data(), s.size()); }
    basic_string& append(const basic_string& s, size_type pos, size_type n = npos) {
        if (pos > s.size())
            throw std::out_of_range("basic_string");
        return append(s.data() + pos, clamp(n, s.size() - pos));
    }
    basic_string& append(size_type n, C unit) {
        size_type old = size();
        ensure(old + n, Growth::kAmortized);
        C* p = heap_or_inline_text();
        Traits::assign(p + old, n, unit);
        set_size(old + n);
        return *this;
    }
    // Range append: exact growth, no rounding (insert and replace build on it).
    template <class It, class = std::enable_if_t<!std::is_integral<It>::value>>
    basic_string& append(It first, It last);
    basic_string& operator+=(const basic_string& s) { return append(s); }
    basic_string& operator+=(const C* s) { return append(s); }
    basic_string& operator+=(C unit) { return append(&unit, 1); }
    void push_back(C unit) { append(&unit, 1); }
    void pop_back() { resize(size() - 1, C(0)); }

    // --- assign ---
    basic_string& assign(const C* s, size_type n);
    basic_string& assign(const C* s) { return assign(s, Traits::length(s)); }
    basic_string& assign(const basic_string& s) { return *this = s; }
    basic_string& assign(size_type n, C unit) {
        clear();
        return append(n, unit);
    }
    template <class It, class = std::enable_if_t<!std::is_integral<It>::value>>
    basic_string& assign(It first, It last) {
        basic_string tmp(first, last);
        swap(tmp);
        return *this;
    }

    // --- insert, erase, replace ---
    iterator insert(const_iterator pos, C unit) {
        size_type off = size_type(pos - text());
        insert_at(off, &unit, 1);
        return writable() + off;
    }
    template <class It, class = std::enable_if_t<!std::is_integral<It>::value>>
    iterator insert(const_iterator pos, It first, It last);
    basic_string& insert(size_type pos, const C* s, size_type n) {
        if (pos > size())
            throw std::out_of_range("basic_string");
        insert_at(pos, s, n);
        return *this;
    }
    basic_string& insert(size_type pos, const C* s) { return insert(pos, s, Traits::length(s)); }
    basic_string& insert(size_type pos, const basic_string& s) {
        return insert(pos, s.data(), s.size());
    }
    basic_string& insert(size_type pos, size_type n, C unit) {
        return insert(pos, basic_string(n, unit));
    }

    basic_string& erase(size_type pos = 0, size_type n = npos);
    iterator erase(const_iterator pos) {
        size_type off = size_type(pos - text());
        erase(off, 1);
        return writable() + off;
    }
    iterator erase(const_iterator first, const_iterator last) {
        size_type off = size_type(first - text());
        erase(off, size_type(last - first));
        return writable() + off;
    }

    basic_string& replace(size_type pos, size_type n1, const C* s, size_type n2);
    basic_string& replace(size_type pos, size_type n1, const C* s) {
        return replace(pos, n1, s, Traits::length(s));
    }
    basic_string& replace(size_type pos, size_type n1, const basic_string& s) {
        return replace(pos, n1, s.data(), s.size());
    }
    basic_string& replace(const_iterator first, const_iterator last, const C* sfirst,
                          const C* slast) {
        return replace(size_type(first - text()), size_type(last - first), sfirst,
                       size_type(slast - sfirst));
    }
    basic_string& replace(const_iterator first, const_iterator last, const basic_string& s) {
        return replace(first, last, s.begin(), s.end());
    }

    // --- size changes ---
    void resize(size_type n, C unit = C(0));
    void clear() { resize(0, C(0)); }
    void reserve(size_type n);
    void swap(basic_string& other) noexcept {
        Rep tmp;
        std::memcpy(static_cast<void*>(&tmp), &rep_, sizeof(rep_));
        std::memcpy(static_cast<void*>(&rep_), &other.rep_, sizeof(rep_));
        std::memcpy(static_cast<void*>(&other.rep_), &tmp, sizeof(rep_));
    }

    basic_string substr(size_type pos = 0, size_type n = npos) const {
        if (pos > size())
            throw std::out_of_range("basic_string");
        return basic_string(text() + pos, clamp(n, size() - pos));
    }

    // --- search ---
    size_type find(const C* s, size_type pos, size_type n) const;
    size_type find(const basic_string& s, size_type pos = 0) const {
        return find(s.data(), pos, s.size());
    }
    size_type find(const C* s, size_type pos = 0) const { return find(s, pos, Traits::length(s)); }
    size_type find(C unit, size_type pos = 0) const { return find(&unit, pos, 1); }
    size_type rfind(const C* s, size_type pos, size_type n) const;
    size_type rfind(const basic_string& s, size_type pos = npos) const {
        return rfind(s.data(), pos, s.size());
    }
    size_type rfind(const C* s, size_type pos = npos) const {
        return rfind(s, pos, Traits::length(s));
    }
    size_type rfind(C unit, size_type pos = npos) const { return rfind(&unit, pos, 1); }

    size_type find_first_of(const C* set, size_type pos, size_type n) const {
        for (size_type i = pos; i < size(); ++i) {
            if (Traits::find(set, n, text()[i]))
                return i;
        }
        return npos;
    }
    size_type find_first_not_of(const C* set, size_type pos, size_type n) const {
        for (size_type i = pos; i < size(); ++i) {
            if (!Traits::find(set, n, text()[i]))
                return i;
        }
        return npos;
    }
    // Scans from the end: used with the set of both separators to cut a path.
    size_type find_last_of(const C* set, size_type pos, size_type n) const {
        return scan_back(pos, [&](C u) { return Traits::find(set, n, u) != nullptr; });
    }
    size_type find_last_not_of(const C* set, size_type pos, size_type n) const {
        return scan_back(pos, [&](C u) { return Traits::find(set, n, u) == nullptr; });
    }
#define STDX_SET_SEARCH(name, defpos)                                     \
    size_type name(const basic_string& s, size_type pos = defpos) const { \
        return name(s.data(), pos, s.size());                             \
    }                                                                     \
    size_type name(const C* s, size_type pos = defpos) const {            \
        return name(s, pos, Traits::length(s));                           \
    }                                                                     \
    size_type name(C unit, size_type pos = defpos) const {                \
        return name(&unit, pos, 1);                                       \
    }
    STDX_SET_SEARCH(find_first_of, 0)
    STDX_SET_SEARCH(find_first_not_of, 0)
    STDX_SET_SEARCH(find_last_of, npos)
    STDX_SET_SEARCH(find_last_not_of, npos)
#undef STDX_SET_SEARCH

    int compare(const basic_string& s) const {
        return compare_units(s.data(), s.size());
    }
    int compare(const C* s) const {
        return compare_units(s, Traits::length(s));
    }

    // Introspection for tests of the representation: the raw length word and
    // the number of strings sharing the heap block (0 for an inline string).
    uint32_t debug_length_word() const noexcept {
        return rep_.len;
    }
    intptr_t debug_share_count() const noexcept {
        return is_heap() ? count_of(rep_.u.heap.block).load() : 0;
    }

  private:
    enum class Growth { kAmortized, kExactRounded, kExact };

#pragma pack(push, 4)
    struct HeapDesc {
        C* block;
        C* end;
        size_type cap;
    };
    struct Rep {
        uint32_t len;
        union U {
            C buf[kInlineUnits];
            HeapDesc heap;
        } u;
    };
#pragma pack(pop)
    static_assert(sizeof(typename Rep::U) == 3 * sizeof(void*),
                  "inline buffer must match the descriptor");

    using RefCount = std::atomic<intptr_t>;
    using AllocTraits = std::allocator_traits<Alloc>;

    static size_type clamp(size_type n, size_type max) {
        return n < max ? n : max;
    }
    static RefCount& count_of(C* block) {
        return *reinterpret_cast<RefCount*>(block);
    }
    static void add_ref(C* block) {
        count_of(block).fetch_add(1, std::memory_order_relaxed);
    }

    bool is_heap() const noexcept {
        return rep_.len == kInlineUnits;
    }
    const C* text() const noexcept {
        return is_heap() ? rep_.u.heap.block + kHeaderUnits : rep_.u.buf;
    }
    // Text pointer without unsharing; only for blocks already made private.
    C* heap_or_inline_text() noexcept {
        return is_heap() ? rep_.u.heap.block + kHeaderUnits : rep_.u.buf;
    }
    void set_inline_length(uint32_t n) noexcept {
        rep_.len = n;
        rep_.u.buf[n] = C(0);
    }
    // Sets the length of a private string whose room suffices, and terminates it.
    void set_size(size_type n) noexcept {
        if (is_heap()) {
            rep_.u.heap.end = rep_.u.heap.block + kHeaderUnits + n;
            *rep_.u.heap.end = C(0);
            return;
        }
        set_inline_length(uint32_t(n));
    }

    static C* allocate_block(size_type cap) {
        Alloc a;
        C* block = AllocTraits::allocate(a, cap + 1);
        new (block) RefCount(1);
        return block;
    }
    static void free_block(C* block, size_type cap) {
        Alloc a;
        count_of(block).~RefCount();
        AllocTraits::deallocate(a, block, cap + 1);
    }
    void release() noexcept {
        if (!is_heap())
            return;
        C* block = rep_.u.heap.block;
        if (count_of(block).fetch_sub(1, std::memory_order_acq_rel) == 1)
            free_block(block, rep_.u.heap.cap);
    }
    // Installs a private block holding `n` units of `src` (the caller releases the old one).
    void adopt_new_block(size_type cap, const C* src, size_type n) {
        C* block = allocate_block(cap);
        Traits::copy(block + kHeaderUnits, src, n);
        block[kHeaderUnits + n] = C(0);
        rep_.len = kInlineUnits;
        rep_.u.heap.block = block;
        rep_.u.heap.end = block + kHeaderUnits + n;
        rep_.u.heap.cap = cap;
    }

    void init(const C* s, size_type n);
    void unshare();
    C* writable() {
        unshare();
        return heap_or_inline_text();
    }
    void ensure(size_type n, Growth growth);
    static size_type rounded_units(size_type units);
    void insert_at(size_type pos, const C* s, size_type n);
    int compare_units(const C* s, size_type n) const {
        size_type common = clamp(size(), n);
        int r = Traits::compare(text(), s, common);
        if (r != 0)
            return r;
        if (size() == n)
            return 0;
        return size() < n ? -1 : 1;
    }
    template <class Pred>
    size_type scan_back(size_type pos, Pred matches) const {
        if (empty())
            return npos;
        size_type i = clamp(pos, size() - 1) + 1;
        while (i-- > 0) {
            if (matches(text()[i]))
                return i;
        }
        return npos;
    }

    Rep rep_;
};

using string16 = basic_string<char16_t>;
using string8 = basic_string<char>;

}  // namespace stdx

#include "text/basic_string_impl.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
