// Conversions between the program's multibyte text (code page 932), UTF-8 and Unicode.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Code page 932 to Unicode. A byte or byte pair the code page doesn't define becomes U+30FB
// ("・"), the code page's default character, as the original platform decodes it.
std::u32string DecodeCp932(std::string_view bytes);

// Unicode to code page 932. A character the code page can't hold becomes "?".
std::string EncodeCp932(std::u32string_view text);

// Number of code page 932 bytes `c` takes (1 or 2), or 1 for "?" when it can't be held.
int Cp932Length(char32_t c);

// UTF-8 to Unicode; invalid sequences become U+FFFD, never read past the end.
std::u32string DecodeUtf8(std::string_view bytes);
std::string EncodeUtf8(std::u32string_view text);

inline std::string Cp932FromUtf8(std::string_view utf8) { return EncodeCp932(DecodeUtf8(utf8)); }
inline std::string Utf8FromCp932(std::string_view cp932) { return EncodeUtf8(DecodeCp932(cp932)); }

}  // namespace platform
