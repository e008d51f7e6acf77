// artgen: draws the game's images from the image table into a folder.
//
//   artgen <image table .xml> <output folder>
//
// Every image of the table is drawn with cairo at its size, frame by frame, and written as
// PNG (or JPEG, for names ending in ".jpg") to the game path it names below the output
// folder. Fails on an unreadable table, an
// unknown look or part, or a frame layout that does not fit the image.
#include "tools/artgen/Looks.h"

#include "platform/image/ImageCodec.h"

#include <cairo.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
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

int IntAttr(const xmlNode* node, const char* name, int fallback)
{
    const std::string text = Attr(node, name);
    return text.empty() ? fallback : std::atoi(text.c_str());
}

struct GroupLabel {
    std::string label;
    uint32_t colour = 0;
};

// The "group-labels" element: the label and colour of every group, in group order.
std::vector<GroupLabel> ReadGroupLabels(const xmlNode* root)
{
    std::vector<GroupLabel> groups;
    for (const xmlNode* n = root ? root->children : nullptr; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "group-labels") != 0)
            continue;
        for (const xmlNode* g = n->children; g; g = g->next)
            if (g->type == XML_ELEMENT_NODE && xmlStrcmp(g->name, BAD_CAST "group") == 0)
                groups.push_back({Attr(g, "label"), uint32_t(std::strtoul(Attr(g, "colour", "#808080").c_str() + 1,
                                                                          nullptr, 16))});
    }
    return groups;
}

// A row whose name holds "{group-label}" stands for one image per group, in the group's
// colour.
void AddExpanded(const artgen::ImageSpec& spec, const std::vector<GroupLabel>& groups,
                 std::vector<artgen::ImageSpec>& images)
{
    static const std::string kToken = "{group-label}";
    const size_t at = spec.name.find(kToken);
    if (at == std::string::npos) {
        images.push_back(spec);
        return;
    }
    for (const GroupLabel& group : groups) {
        artgen::ImageSpec one = spec;
        one.name.replace(at, kToken.size(), group.label);
        one.colour = group.colour;
        images.push_back(one);
    }
}

bool ReadTable(const char* path, std::vector<artgen::ImageSpec>& images)
{
    xmlDocPtr doc = xmlReadFile(path, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return false;
    const xmlNode* root = xmlDocGetRootElement(doc);
    const std::vector<GroupLabel> groups = ReadGroupLabels(root);
    for (const xmlNode* n = root ? root->children : nullptr; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "image") != 0)
            continue;
        artgen::ImageSpec spec;
        spec.name = Attr(n, "name");
        spec.width = IntAttr(n, "width", 0);
        spec.height = IntAttr(n, "height", 0);
        spec.frameWidth = IntAttr(n, "frameWidth", spec.width);
        spec.frameHeight = IntAttr(n, "frameHeight", spec.height);
        spec.frames = IntAttr(n, "frames", 1);
        spec.look = Attr(n, "look");
        spec.part = Attr(n, "part");
        spec.colour = std::strtoul(Attr(n, "colour", "#808080").c_str() + 1, nullptr, 16);
        AddExpanded(spec, groups, images);
    }
    xmlFreeDoc(doc);
    return root != nullptr;
}

bool Fits(const artgen::ImageSpec& s)
{
    return s.width > 0 && s.height > 0 && s.frameWidth > 0 && s.frameHeight > 0 && s.frames > 0 &&
           s.frames <= (s.width / s.frameWidth) * (s.height / s.frameHeight);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen <image table> <output folder>\n");
        return 2;
    }
    std::vector<artgen::ImageSpec> images;
    if (!ReadTable(argv[1], images)) {
        std::fprintf(stderr, "artgen: cannot read %s\n", argv[1]);
        return 1;
    }
    for (const auto& spec : images) {
        if (!Fits(spec)) {
            std::fprintf(stderr, "artgen: %s: frames do not fit the image\n", spec.name.c_str());
            return 1;
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, spec.width, spec.height);
        cairo_t* cr = cairo_create(surface);
        const int columns = spec.width / spec.frameWidth;
        bool drawn = true;
        for (int f = 0; f < spec.frames && drawn; ++f) {
            cairo_save(cr);
            cairo_translate(cr, (f % columns) * spec.frameWidth, (f / columns) * spec.frameHeight);
            cairo_rectangle(cr, 0, 0, spec.frameWidth, spec.frameHeight);
            cairo_clip(cr);
            drawn = artgen::DrawFrame(cr, spec, f);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
        if (!drawn) {
            cairo_surface_destroy(surface);
            std::fprintf(stderr, "artgen: %s: unknown look '%s' or part '%s'\n", spec.name.c_str(), spec.look.c_str(),
                         spec.part.c_str());
            return 1;
        }
        std::string relative = spec.name;
        for (char& c : relative)
            if (c == '\\')
                c = '/';
        const fs::path out = fs::path(argv[2]) / relative;
        fs::create_directories(out.parent_path());
        bool written = false;
        if (out.extension() == ".jpg") {
            cairo_surface_flush(surface);
            std::vector<uint8_t> bytes;
            const auto* pixels = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface));
            written = platform::image::EncodeJpeg(pixels, spec.width, spec.height,
                                                  cairo_image_surface_get_stride(surface), 92, bytes) &&
                      platform::image::WriteFileBytes(out.string(), bytes);
        } else {
            written = cairo_surface_write_to_png(surface, out.string().c_str()) == CAIRO_STATUS_SUCCESS;
        }
        cairo_surface_destroy(surface);
        if (!written) {
            std::fprintf(stderr, "artgen: cannot write %s\n", out.string().c_str());
            return 1;
        }
    }
    return 0;
}
