// Test helpers: tests read and print text as UTF-8, not as lists of code units.
#ifndef VXBIND_TESTS_SUPPORT_TEXT_H
#define VXBIND_TESTS_SUPPORT_TEXT_H

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Utf16.h"

namespace vxtest {

// UTF-8 literal -> library string.
inline VxVevAva5::String U(std::string_view utf8) {
  return VxVevAva5::Utf16::FromUtf8(utf8.data(), utf8.size());
}

// Library string -> UTF-8, for EXPECT_EQ and readable failure output.
inline std::string ToUtf8(const VxVevAva5::String& s) { return VxVevAva5::Utf16::ToUtf8(s); }
inline std::string ToUtf8(const unsigned short* s) {
  return VxVevAva5::Utf16::ToUtf8(s, VxVevAva5::Utf16::Length(s));
}

// Passes only if `f` throws exactly the class E (not merely a subclass of
// it) with the message `expected` (compared as UTF-8).
template <class E, class F>
::testing::AssertionResult ThrowsWithMessage(F&& f, std::string_view expected) {
  try {
    f();
  } catch (const VxVevAva5::CVxException& e) {
    if (typeid(e) != typeid(E))
      return ::testing::AssertionFailure()
             << "threw " << typeid(e).name() << " instead of " << typeid(E).name()
             << ": " << ToUtf8(e.GetMessage());
    std::string got = ToUtf8(e.GetMessage());
    if (got == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "message was \"" << got << "\", expected \""
                                         << expected << "\"";
  }
  return ::testing::AssertionFailure() << "did not throw";
}

template <class T, class = void>
struct HasLessEqual : std::false_type {};
template <class T>
struct HasLessEqual<T, std::void_t<decltype(std::declval<T>() <= std::declval<T>())>>
    : std::true_type {};

// Passes when the comparison operators of `a` and `b` agree with `order`:
// -1 less, 0 equal, 1 greater, 2 neither (indeterminate).
template <class T>
::testing::AssertionResult OrderIs(const T& a, const T& b, int order) {
  bool ok = (a == b) == (order == 0) && (a != b) == (order != 0) && (a < b) == (order == -1) &&
            (a > b) == (order == 1);
  if constexpr (HasLessEqual<T>::value)
    ok = ok && (a <= b) == (order == -1 || order == 0) && (a >= b) == (order == 1 || order == 0);
  if (ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the operators disagree with order " << order;
}

}  // namespace vxtest

// EXPECT_VX_THROW(statement, CVxSomething, "exact message")
#define EXPECT_VX_THROW(statement, Class, message) \
  EXPECT_TRUE(::vxtest::ThrowsWithMessage<Class>([&] { statement; }, message))

#endif  // VXBIND_TESTS_SUPPORT_TEXT_H
