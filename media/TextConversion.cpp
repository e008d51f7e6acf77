#include "media/TextConversion.h"

#include "app/Log.h"

#include <cerrno>
#include <iconv.h>

namespace {
iconv_t AsIconv(void* handle)
{
    return static_cast<iconv_t>(handle);
}
} // namespace

TextConversion::TextConversion(const std::string& charset) : charset_(charset)
{
    iconv_t cd = iconv_open("UTF-32LE", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        WriteLog("TextConversion: no conversion from [%s]\n", charset.c_str());
        return;
    }
    handle_ = cd;
}

TextConversion::~TextConversion()
{
    if (handle_)
        iconv_close(AsIconv(handle_));
}

std::u32string TextConversion::ToCodePoints(std::string_view text)
{
    std::u32string result;
    if (!handle_) {
        for (unsigned char c : text)
            result.push_back(c < 0x80 ? c : U'?');
        return result;
    }
    std::lock_guard<std::mutex> guard(lock_);
    buffer_.resize(text.size() + 1);
    iconv(AsIconv(handle_), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer_.data());
        size_t outLeft = buffer_.size() * sizeof(char32_t);
        const size_t done = iconv(AsIconv(handle_), &in, &inLeft, &out, &outLeft);
        const size_t produced = (buffer_.size() * sizeof(char32_t) - outLeft) / sizeof(char32_t);
        for (size_t i = 0; i < produced; ++i) {
            const uint8_t* b = reinterpret_cast<const uint8_t*>(&buffer_[i]);
            result.push_back(char32_t(b[0]) | char32_t(b[1]) << 8 | char32_t(b[2]) << 16 | char32_t(b[3]) << 24);
        }
        if (done != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // Invalid or cut-off sequence: one '?' for the byte, then go on.
        result.push_back(U'?');
        ++in;
        --inLeft;
        iconv(AsIconv(handle_), nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}
