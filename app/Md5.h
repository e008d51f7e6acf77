#pragma once
// MD5 digests (RFC 1321) and their text forms.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using Md5Digest = std::array<uint8_t, 16>;

// Incremental context. Update after Final is ignored; Final may be called once.
class Md5Context {
public:
    Md5Context();
    ~Md5Context();
    Md5Context(const Md5Context&) = delete;
    Md5Context& operator=(const Md5Context&) = delete;

    void Update(const void* data, size_t size);
    void Update(std::string_view text) { Update(text.data(), text.size()); }
    // Finishes and returns the digest in standard byte order; later calls return it again.
    const Md5Digest& Final();
    bool Finished() const { return finished_; }

private:
    struct Impl;
    Impl* impl_;
    bool finished_ = false;
    Md5Digest digest_{};
};

Md5Digest Md5Of(const void* data, size_t size);
inline Md5Digest Md5Of(std::string_view text) { return Md5Of(text.data(), text.size()); }

// The 16 digest bytes appended one after another with a per-byte printf format.
// "%02x" (or "%s%02x") gives 32 lower-case hex digits; "%0X" (or "%s%0X") gives
// upper-case digits without padding, the game's content-hash form.
std::string Md5Format(const Md5Digest& digest, std::string_view perByteFormat);
// Md5Format of the digest of `text`.
std::string Md5String(std::string_view text, std::string_view perByteFormat = "%02x");
// 32 lower-case hex digits.
std::string Md5Hex(std::string_view text);
// Finalises the context (once; later calls reuse the digest): 32 upper-case hex digits.
std::string Md5Hex(Md5Context& context);
