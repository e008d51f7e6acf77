// videogen: writes the game's video clips from the clip table into a game folder.
//
//   videogen <clip table .xml> <game folder>
//
// Every clip of the table is drawn frame by frame with cairo by its look and written as
// Ogg Theora (with its look's sound as a Vorbis stream) to the game path it names below the
// folder. Fails on an unreadable table, an unknown look or a clip that cannot be written.
#include "tools/soundgen/Synth.h"
#include "tools/videogen/ClipLooks.h"
#include "tools/videogen/OgvWriter.h"

#include <cairo.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Attr(const xmlNode* node, const char* name, const char* fallback = "")
{
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : fallback;
    xmlFree(value);
    return text;
}

bool ReadTable(const char* path, std::vector<videogen::ClipSpec>& clips)
{
    xmlDocPtr doc = xmlReadFile(path, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return false;
    const xmlNode* root = xmlDocGetRootElement(doc);
    for (const xmlNode* n = root ? root->children : nullptr; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "clip") != 0)
            continue;
        videogen::ClipSpec spec;
        spec.name = Attr(n, "name");
        spec.width = std::atoi(Attr(n, "width", "0").c_str());
        spec.height = std::atoi(Attr(n, "height", "0").c_str());
        spec.fps = std::atoi(Attr(n, "fps", "30").c_str());
        spec.look = Attr(n, "look");
        spec.colour = static_cast<uint32_t>(std::strtoul(Attr(n, "colour", "#808080").c_str() + 1, nullptr, 16));
        spec.seconds = std::atof(Attr(n, "seconds", "0").c_str());
        clips.push_back(spec);
    }
    xmlFreeDoc(doc);
    return root != nullptr;
}

// Cairo's ARGB32 rows are native 0xAARRGGBB words: copied as they are.
void DrawInto(const videogen::ClipLook& look, const videogen::ClipSpec& spec, int frame, std::vector<uint32_t>& argb)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, spec.width, spec.height);
    cairo_t* cr = cairo_create(surface);
    look.drawFrame(cr, spec, frame);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < spec.height; ++y)
        std::memcpy(&argb[size_t(y) * spec.width], data + size_t(y) * stride, size_t(spec.width) * 4);
    cairo_surface_destroy(surface);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: videogen <clip table> <game folder>\n");
        return 2;
    }
    std::vector<videogen::ClipSpec> clips;
    if (!ReadTable(argv[1], clips)) {
        std::fprintf(stderr, "videogen: cannot read %s\n", argv[1]);
        return 1;
    }
    for (const videogen::ClipSpec& spec : clips) {
        const videogen::ClipLook* look = videogen::FindLook(spec.look);
        if (!look) {
            std::fprintf(stderr, "videogen: %s: unknown look '%s'\n", spec.name.c_str(), spec.look.c_str());
            return 1;
        }
        videogen::VideoFormat format;
        format.width = spec.width;
        format.height = spec.height;
        format.fps = spec.fps;
        format.frames = look->frameCount(spec);
        std::string relative = spec.name;
        for (char& c : relative)
            if (c == '\\')
                c = '/';
        const fs::path out = fs::path(argv[2]) / relative;
        fs::create_directories(out.parent_path());
        std::string error;
        const std::vector<float> sound = look->sound ? look->sound(spec) : std::vector<float>();
        const auto frames = [&](int frame, std::vector<uint32_t>& argb) { DrawInto(*look, spec, frame, argb); };
        if (!videogen::WriteOgv(out.string(), format, frames, sound, soundgen::kSampleRate, error)) {
            std::fprintf(stderr, "videogen: %s: %s\n", spec.name.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
