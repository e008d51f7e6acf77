#pragma once
// Small text helpers shared by every subsystem. Text is UTF-8 in std::string; case
// folding is ASCII only, as the game's names and keys are.

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStringPrintf(const char* format, va_list args);

char AsciiLower(char c);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Position of `what` in `text` ignoring ASCII case, or std::string::npos.
size_t FindNoCase(std::string_view text, std::string_view what, size_t from = 0);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// Replaces every occurrence of `what` (non-empty) by `with`, scanning left to right.
std::string ReplaceAll(std::string text, std::string_view what, std::string_view with);
// Splits at any of the separator characters; empty pieces are dropped.
std::vector<std::string> SplitString(std::string_view text, std::string_view separators);
std::string Trim(std::string_view text);

// The file-name part of a game path (after the last '\' or '/'), without its extension
// (from the last dot) when `cutExtension` is set.
std::string GetFileTitle(std::string_view path, bool cutExtension);

// Value of the leading decimal digits, wrapping modulo 2^32; 0 when there are none.
uint32_t ParseLeadingUInt(std::string_view text);
// The leading integer of a text as atoi reads it (leading blanks, an optional sign, the
// digits up to the first other character; 0 when there are none). False, and the value
// left alone, when the digits do not fit in 32 bits.
bool ParseLeadingInt(std::string_view text, int32_t& value);
// The leading number of a text as atof reads it (0 when there is none). False, and the
// value left alone, when it is not finite or beyond the float range.
bool ParseLeadingFloat(std::string_view text, float& value);
// Strict decimal integer (optional sign, surrounding blanks allowed); false on anything else.
bool ParseInt(std::string_view text, int32_t& value);
// Strict decimal number in the C locale; false on anything else.
bool ParseFloat(std::string_view text, float& value);

// True for "yes" or "1" in any case: the game's boolean texts.
bool IsTrueText(std::string_view text);

// Wildcard match of '*' and '?' ignoring ASCII case.
bool WildcardMatchNoCase(std::string_view pattern, std::string_view text);

// The longest prefix of at most maxBytes bytes that ends on a UTF-8 character boundary (a
// cut never leaves half a character).
std::string CutUtf8(std::string_view text, size_t maxBytes);
