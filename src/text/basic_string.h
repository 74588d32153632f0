// PROVISIONAL stand-in so that every subsystem can compile while the real
// copy-on-write string is written. Same public API as the final class.
#pragma once
#include <string>

namespace stdx {

template <class C>
struct fix_char_traits : std::char_traits<C> {};

template <class C, class T = fix_char_traits<C>, class A = std::allocator<C>>
class basic_string : public std::basic_string<C, std::char_traits<C>, A> {
    using base = std::basic_string<C, std::char_traits<C>, A>;

public:
    using base::base;
    basic_string() = default;
    basic_string(const base& b) : base(b) {}
    basic_string(base&& b) : base(std::move(b)) {}
};

using string16 = basic_string<char16_t>;
using string8 = basic_string<char>;

}  // namespace stdx
