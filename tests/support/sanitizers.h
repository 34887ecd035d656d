#pragma once
// Whether this build runs under AddressSanitizer: its shadow memory and quarantine
// swell the resident set far beyond what the program itself takes, so memory bounds
// do not hold there (the sanitizer's own leak check stands in for them).

namespace kamsulo::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

} // namespace kamsulo::test
