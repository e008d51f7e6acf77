#pragma once
// Conversion of the game's texts to code points for the fonts, through iconv. One
// conversion is shared by all fonts; it keeps its own buffer and serialises its users.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TextConversion {
public:
    // `charset` is the encoding of the texts (the game keeps UTF-8).
    explicit TextConversion(const std::string& charset = "UTF-8");
    ~TextConversion();
    TextConversion(const TextConversion&) = delete;
    TextConversion& operator=(const TextConversion&) = delete;

    bool IsValid() const { return handle_ != nullptr; }
    const std::string& Charset() const { return charset_; }
    // The text as code points; a byte sequence that does not convert becomes '?'.
    std::u32string ToCodePoints(std::string_view text);

private:
    std::string charset_;
    void* handle_ = nullptr; // iconv_t
    std::mutex lock_;
    std::vector<char32_t> buffer_;
};
