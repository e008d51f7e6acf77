#include "app/StringUtil.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

std::string VStringPrintf(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0)
        return {};
    if (static_cast<size_t>(needed) < sizeof small)
        return std::string(small, static_cast<size_t>(needed));
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(needed));
    return text;
}

std::string StringPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStringPrintf(format, args);
    va_end(args);
    return text;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ToLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

std::string ToUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

size_t FindNoCase(std::string_view text, std::string_view what, size_t from)
{
    if (what.empty())
        return from <= text.size() ? from : std::string::npos;
    if (what.size() > text.size())
        return std::string::npos;
    for (size_t i = from; i + what.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, what.size()), what))
            return i;
    return std::string::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with)
{
    if (what.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::string::npos) {
        text.replace(pos, what.size(), with);
        pos += with.size();
    }
    return text;
}

std::vector<std::string> SplitString(std::string_view text, std::string_view separators)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find_first_of(separators, start);
        const size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start)
            pieces.emplace_back(text.substr(start, stop - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return pieces;
}

std::string Trim(std::string_view text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string GetFileTitle(std::string_view path, bool cutExtension)
{
    const size_t slash = path.find_last_of("\\/");
    std::string_view title = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (cutExtension) {
        const size_t dot = title.rfind('.');
        if (dot != std::string_view::npos)
            title = title.substr(0, dot);
    }
    return std::string(title);
}

uint32_t ParseLeadingUInt(std::string_view text)
{
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10u + static_cast<uint32_t>(c - '0');
    }
    return value;
}

bool ParseLeadingInt(std::string_view text, int32_t& value)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            return false;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

bool ParseLeadingFloat(std::string_view text, float& value)
{
    const std::string copy(text);
    const double parsed = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(parsed) || std::fabs(parsed) > double(FLT_MAX))
        return false;
    value = static_cast<float>(parsed);
    return true;
}

bool ParseInt(std::string_view text, int32_t& value)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return false;
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (*begin == '+')
        ++begin;
    int32_t parsed = 0;
    const auto result = std::from_chars(begin, end, parsed);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    value = parsed;
    return true;
}

bool ParseFloat(std::string_view text, float& value)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return false;
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (*begin == '+')
        ++begin;
    float parsed = 0;
    const auto result = std::from_chars(begin, end, parsed);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    value = parsed;
    return true;
}

bool IsTrueText(std::string_view text)
{
    return EqualsNoCase(text, "yes") || text == "1";
}

bool WildcardMatchNoCase(std::string_view pattern, std::string_view text)
{
    size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string CutUtf8(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    size_t end = maxBytes;
    // Back to the start of the character that the cut falls into (continuation bytes are
    // 10xxxxxx).
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}
