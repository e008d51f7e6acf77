#include "platform/font/GlyphRasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <cstring>
#include <strings.h>
#include <mutex>

namespace platform::font {

namespace {

// The installed stand-ins for the faces the game asks for.
struct FaceChoice {
    const char* gameFace;
    const char* family;
};
constexpr FaceChoice kFaceTable[] = {
    {"Arial", "Liberation Sans"},
    {"Lucida Console", "DejaVu Sans Mono"},
    {"Comic Sans MS", "Comic Neue"},
    {"Blessed", "Lobster Two"},
};

std::mutex& FontconfigLock()
{
    static std::mutex lock;
    return lock;
}

bool SameFamily(const char* a, const char* b)
{
    return strcasecmp(a, b) == 0;
}

} // namespace

std::string InstalledFamilyFor(const std::string& gameFace)
{
    for (const FaceChoice& choice : kFaceTable)
        if (SameFamily(choice.gameFace, gameFace.c_str()))
            return choice.family;
    return gameFace;
}

std::optional<ResolvedFace> ResolveFace(const std::string& gameFace, bool bold, bool italic, bool anyFallback)
{
    std::lock_guard<std::mutex> guard(FontconfigLock());
    if (!FcInit())
        return std::nullopt;
    const std::string family = InstalledFamilyFor(gameFace);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return std::nullopt;
    std::optional<ResolvedFace> found;
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
        const bool familyMatches = SameFamily(reinterpret_cast<const char*>(matchedFamily), family.c_str());
        if (familyMatches || anyFallback) {
            ResolvedFace face;
            face.path = reinterpret_cast<const char*>(file);
            face.family = reinterpret_cast<const char*>(matchedFamily);
            FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            face.bold = weight >= FC_WEIGHT_DEMIBOLD;
            face.italic = slant != FC_SLANT_ROMAN;
            found = face;
        }
    }
    FcPatternDestroy(match);
    return found;
}

struct GlyphRasterizer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool embolden = false;
    bool slant = false;
    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

GlyphRasterizer::~GlyphRasterizer() = default;

std::unique_ptr<GlyphRasterizer> GlyphRasterizer::Open(const ResolvedFace& face, int pixelSize, bool bold,
                                                       bool italic, std::string* error)
{
    std::unique_ptr<GlyphRasterizer> rasterizer(new GlyphRasterizer);
    auto impl = std::make_unique<Impl>();
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + " (" + face.path + ")";
        return nullptr;
    };
    if (FT_Init_FreeType(&impl->library) != 0)
        return fail("FreeType could not start");
    if (FT_New_Face(impl->library, face.path.c_str(), face.index, &impl->face) != 0)
        return fail("font file could not be opened");
    if (FT_Set_Pixel_Sizes(impl->face, 0, static_cast<FT_UInt>(pixelSize < 1 ? 1 : pixelSize)) != 0)
        return fail("font size could not be set");
    impl->embolden = bold && !face.bold;
    impl->slant = italic && !face.italic;
    const FT_Size_Metrics& metrics = impl->face->size->metrics;
    rasterizer->ascent_ = static_cast<int>((metrics.ascender + 63) >> 6);
    rasterizer->lineHeight_ = static_cast<int>((metrics.height + 63) >> 6);
    rasterizer->impl_ = std::move(impl);
    return rasterizer;
}

bool GlyphRasterizer::HasGlyph(char32_t codePoint) const
{
    return FT_Get_Char_Index(impl_->face, codePoint) != 0;
}

bool GlyphRasterizer::Render(char32_t codePoint, GlyphBitmap& out)
{
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (impl_->slant)
        FT_GlyphSlot_Oblique(slot);
    if (impl_->embolden)
        FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.coverage.assign(size_t(out.width) * out.height, 0);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
        std::memcpy(out.coverage.data() + size_t(y) * out.width, row, size_t(out.width));
    }
    return true;
}

} // namespace platform::font
