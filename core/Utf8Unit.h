// UTF-8 <-> UTF-32 conversion for symbol texts and code-point counting.
#pragma once

#include <string>
#include <string_view>

namespace lexmora {

// Code point used for every byte sequence or value that is not valid Unicode.
constexpr char32_t ReplacementChar = U'\uFFFD';

// Decodes UTF-8 into code points. Note: each maximal invalid subsequence
// (stray continuation byte, truncated or overlong sequence, surrogate, value
// above U+10FFFF) becomes one U+FFFD, so decoding never fails.
std::u32string Utf8ToU32(std::string_view AText);
// The same, appended to AOut.
void AppendUtf8AsU32(std::u32string& AOut, std::string_view AText);
// The same into AOut, replacing what it held (its storage kept for the next text).
void AssignUtf8AsU32(std::u32string& AOut, std::string_view AText);

// Encodes code points as UTF-8; surrogates and values above U+10FFFF become U+FFFD.
std::string U32ToUtf8(std::u32string_view AText);

// Appends one code point to a UTF-8 string (invalid values as U+FFFD).
void AppendUtf8(std::string& ADest, char32_t ACodePoint);

// Each code point by its simple uppercase mapping (one for one, no locale), the way a file system
// that ignores letter case compares names; invalid sequences become U+FFFD.
std::string UpperCaseUtf8(std::string_view AText);

}  // namespace lexmora
