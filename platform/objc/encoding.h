#pragma once

// Type encodings, the runtime's text for a method's signature ("v@:", "{CGSize=ff}@:i"),
// computed at compile time from C++ types so that a method's recorded encoding always
// matches the function that implements it. Frameworks add their own structures by
// specialising TypeEncoding next to the structure's definition.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <type_traits>

struct objc_object;
struct objc_class;
struct objc_selector;

namespace objc {

template<std::size_t N>
struct EncodingText {
    char chars[N + 1] {};

    constexpr EncodingText() = default;
    constexpr EncodingText(const char (&text)[N + 1]) { std::copy_n(text, N + 1, chars); }

    [[nodiscard]] constexpr std::string_view view() const { return { chars, N }; }
    [[nodiscard]] constexpr const char* c_str() const { return chars; }
};
template<std::size_t N>
EncodingText(const char (&)[N]) -> EncodingText<N - 1>;

template<std::size_t A, std::size_t B>
constexpr EncodingText<A + B> operator+(const EncodingText<A>& first, const EncodingText<B>& second)
{
    EncodingText<A + B> joined;
    std::copy_n(first.chars, A, joined.chars);
    std::copy_n(second.chars, B, joined.chars + A);
    return joined;
}

// One type's encoding: `static constexpr EncodingText value`.
template<class T, class = void>
struct TypeEncoding;

template<> struct TypeEncoding<void> { static constexpr EncodingText value { "v" }; };
template<> struct TypeEncoding<bool> { static constexpr EncodingText value { "B" }; };
template<> struct TypeEncoding<char> { static constexpr EncodingText value { "c" }; };
template<> struct TypeEncoding<signed char> { static constexpr EncodingText value { "c" }; };
template<> struct TypeEncoding<unsigned char> { static constexpr EncodingText value { "C" }; };
template<> struct TypeEncoding<short> { static constexpr EncodingText value { "s" }; };
template<> struct TypeEncoding<unsigned short> { static constexpr EncodingText value { "S" }; };
template<> struct TypeEncoding<int> { static constexpr EncodingText value { "i" }; };
template<> struct TypeEncoding<unsigned> { static constexpr EncodingText value { "I" }; };
template<> struct TypeEncoding<long> { static constexpr EncodingText value { sizeof(long) == 8 ? EncodingText { "q" } : EncodingText { "l" } }; };
template<> struct TypeEncoding<unsigned long> { static constexpr EncodingText value { sizeof(long) == 8 ? EncodingText { "Q" } : EncodingText { "L" } }; };
template<> struct TypeEncoding<long long> { static constexpr EncodingText value { "q" }; };
template<> struct TypeEncoding<unsigned long long> { static constexpr EncodingText value { "Q" }; };
template<> struct TypeEncoding<float> { static constexpr EncodingText value { "f" }; };
template<> struct TypeEncoding<double> { static constexpr EncodingText value { "d" }; };
template<> struct TypeEncoding<const char*> { static constexpr EncodingText value { "*" }; };
template<> struct TypeEncoding<objc_class*> { static constexpr EncodingText value { "#" }; };
template<> struct TypeEncoding<const objc_selector*> { static constexpr EncodingText value { ":" }; };
// Every object reference, whatever its class, is an object to the runtime.
template<class T>
struct TypeEncoding<std::shared_ptr<T>, std::enable_if_t<std::is_base_of_v<objc_object, T>>> {
    static constexpr EncodingText value { "@" };
};

// A method's encoding: result, self (an object, or a class for a class method, which the
// runtime records as an object too), the selector, then the arguments.
template<class Signature>
struct MethodEncoding;
template<class R, class... Args>
struct MethodEncoding<R(Args...)> {
    static constexpr auto value = ((TypeEncoding<R>::value + EncodingText { "@:" }) + ... + TypeEncoding<std::remove_cvref_t<Args>>::value);
};

template<class Signature>
[[nodiscard]] constexpr const char* methodEncoding()
{
    return MethodEncoding<Signature>::value.c_str();
}

}
