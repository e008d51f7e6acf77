#include "app/Md5.h"

#include <glib.h>

#include <cstdio>

struct Md5Context::Impl {
    GChecksum* checksum = g_checksum_new(G_CHECKSUM_MD5);
    ~Impl() { g_checksum_free(checksum); }
};

Md5Context::Md5Context() : impl_(new Impl) {}

Md5Context::~Md5Context()
{
    delete impl_;
}

void Md5Context::Update(const void* data, size_t size)
{
    if (finished_ || size == 0)
        return;
    const auto* bytes = static_cast<const guchar*>(data);
    // GChecksum takes a signed length; feed large buffers in pieces.
    while (size > 0) {
        const size_t piece = size > (1u << 30) ? (1u << 30) : size;
        g_checksum_update(impl_->checksum, bytes, static_cast<gssize>(piece));
        bytes += piece;
        size -= piece;
    }
}

const Md5Digest& Md5Context::Final()
{
    if (!finished_) {
        gsize length = digest_.size();
        g_checksum_get_digest(impl_->checksum, digest_.data(), &length);
        finished_ = true;
    }
    return digest_;
}

Md5Digest Md5Of(const void* data, size_t size)
{
    Md5Context context;
    context.Update(data, size);
    return context.Final();
}

std::string Md5Format(const Md5Digest& digest, std::string_view perByteFormat)
{
    // The game's formats carry the text so far as a leading "%s"; we append instead.
    std::string byteFormat(perByteFormat);
    if (byteFormat.rfind("%s", 0) == 0)
        byteFormat.erase(0, 2);
    std::string out;
    char piece[16];
    for (uint8_t byte : digest) {
        std::snprintf(piece, sizeof piece, byteFormat.c_str(), static_cast<unsigned>(byte));
        out += piece;
    }
    return out;
}

std::string Md5String(std::string_view text, std::string_view perByteFormat)
{
    return Md5Format(Md5Of(text), perByteFormat);
}

std::string Md5Hex(std::string_view text)
{
    return Md5Format(Md5Of(text), "%02x");
}

std::string Md5Hex(Md5Context& context)
{
    return Md5Format(context.Final(), "%02X");
}
