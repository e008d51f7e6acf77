// The skin's images as the game loads them: every one comes out of the resource archive with
// the size and frame layout of the image table, its state frames differ, and the pieces that
// widgets stretch are uniform along their stretch direction (so they stretch without
// seams). The test also writes "skin-contact-sheet.png" to the build folder: every image at
// twice its size, and the main widgets assembled from their pieces, for looking at.
#include "SurfaceFixture.h"

#include "app/XmlUtil.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace gfx;

namespace {

struct TableImage {
    std::string name, look, part;
    int width = 0, height = 0, frameWidth = 0, frameHeight = 0, frames = 1;
};

bool IsSkinImage(const std::string& name)
{
    return name.rfind("Graphics\\Menu\\", 0) == 0 || name.rfind("Graphics\\arrow_", 0) == 0;
}

std::vector<TableImage> ReadSkinTable()
{
    std::vector<TableImage> images;
    XmlDocument doc = XmlLoadHostFile(std::string(FLIMBS_SOURCE_DIR) + "/data/art/images.xml");
    EXPECT_TRUE(doc);
    for (xmlNode* n = XmlChildren(XmlRoot(doc.get())); n; n = XmlNext(n)) {
        if (XmlName(n) != "image")
            continue;
        auto text = [&](const char* attr) {
            const char* v = XmlGetAttrValue(n, attr);
            return std::string(v ? v : "");
        };
        auto number = [&](const char* attr, int fallback) {
            const std::string v = text(attr);
            return v.empty() ? fallback : std::atoi(v.c_str());
        };
        TableImage image{text("name"), text("look"), text("part")};
        image.width = number("width", 0);
        image.height = number("height", 0);
        image.frameWidth = number("frameWidth", image.width);
        image.frameHeight = number("frameHeight", image.height);
        image.frames = number("frames", 1);
        if (IsSkinImage(image.name))
            images.push_back(image);
    }
    return images;
}

// An ARGB picture held in memory.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Picture ReadPixels(const AnimSurface* image)
{
    Picture picture{image->imageWidth, image->imageHeight, {}};
    picture.pixels.resize(size_t(picture.width) * picture.height);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(image->bitmap->texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch),
                    picture.width, &picture.pixels[size_t(y) * picture.width]);
    image->bitmap->texture->UnlockRect(0);
    return picture;
}

bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 2)
            return false;
    return true;
}

// 'h' when widgets stretch the piece horizontally, 'v' vertically, 'b' both ways, else 0.
char StretchOf(const TableImage& image)
{
    const bool frame = image.look.size() > 6 && image.look.compare(image.look.size() - 6, 6, "-frame") == 0;
    const std::string& p = image.part;
    if (frame && p == "fill")
        return 'b';
    if (frame && (p == "top" || p == "bottom"))
        return 'h';
    if (frame && (p == "left" || p == "right" || p == "left2" || p == "right2"))
        return 'v';
    if (p.rfind("mid", 0) == 0 && image.look != "scroll-grip")
        return 'h';
    if (p == "fill-off" || p == "header" || p == "row") // "fill-on" fades out at its ends
        return 'h';
    if (image.look == "scroll-track" || (image.look == "scroll-grip" && p == "mid") || p == "divider")
        return 'v';
    if (image.look == "list-highlight")
        return 'h';
    return 0;
}

// The first place where a frame of the piece changes along its stretch direction.
std::string StretchFault(const Picture& pic, int x0, int y0, int w, int h, char stretch)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t here = pic.At(x0 + x, y0 + y);
            if ((stretch == 'h' || stretch == 'b') && !Near(here, pic.At(x0, y0 + y)))
                return "column " + std::to_string(x) + " row " + std::to_string(y);
            if ((stretch == 'v' || stretch == 'b') && !Near(here, pic.At(x0 + x, y0)))
                return "row " + std::to_string(y) + " column " + std::to_string(x);
        }
    return "";
}

bool FramesDiffer(const Picture& pic, const TableImage& t, int a, int b)
{
    const int columns = t.width / t.frameWidth;
    for (int y = 0; y < t.frameHeight; ++y)
        for (int x = 0; x < t.frameWidth; ++x) {
            const uint32_t pa = pic.At(a % columns * t.frameWidth + x, a / columns * t.frameHeight + y);
            const uint32_t pb = pic.At(b % columns * t.frameWidth + x, b / columns * t.frameHeight + y);
            if (!Near(pa, pb))
                return true;
        }
    return false;
}

// The contact sheet: pictures composed with alpha over a checker board.
class Sheet {
public:
    Sheet(int width, int height) : picture_{width, height, std::vector<uint32_t>(size_t(width) * height)}
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture_.pixels[size_t(y) * width + x] = ((x / 8 + y / 8) % 2) ? 0xFF8A8580u : 0xFF9B968Fu;
    }
    // Draws the source cell (sx, sy, sw, sh) stretched over (dx, dy, dw, dh), nearest sample.
    void Blit(const Picture& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh)
    {
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const int tx = dx + x, ty = dy + y;
                if (tx < 0 || ty < 0 || tx >= picture_.width || ty >= picture_.height || sw <= 0 || sh <= 0)
                    continue;
                const uint32_t s = src.At(sx + x * sw / dw, sy + y * sh / dh);
                uint32_t& d = picture_.pixels[size_t(ty) * picture_.width + tx];
                const uint32_t a = s >> 24;
                uint32_t out = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t c = (((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a)) / 255;
                    out |= c << shift;
                }
                d = out;
            }
    }
    bool Save(const std::string& path) const
    {
        std::vector<uint8_t> bytes;
        if (!platform::image::EncodePng(picture_.pixels.data(), picture_.width, picture_.height, picture_.width * 4,
                                        false, bytes))
            return false;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return bool(out);
    }

private:
    Picture picture_;
};

// Widgets assembled from their pieces, the way the skinned widgets draw them.
class Assembler {
public:
    Assembler(Sheet& sheet, const std::map<std::string, Picture>& pictures) : sheet_(sheet), pictures_(pictures) {}

    const Picture& Get(const std::string& name) const
    {
        static const Picture empty{1, 1, {0}};
        const auto found = pictures_.find("Graphics\\Menu\\" + name);
        return found == pictures_.end() ? empty : found->second;
    }
    // Left cap, stretched middle, right cap, frame `frame` of strips with `cells` frames.
    void ThreeSlice(const std::string& left, const std::string& mid, const std::string& right, int x, int y,
                    int width, int frame = 0, int cells = 1)
    {
        const Picture &l = Get(left), &m = Get(mid), &r = Get(right);
        const int lw = l.width / cells, mw = m.width / cells, rw = r.width / cells;
        sheet_.Blit(l, frame * lw, 0, lw, l.height, x, y, lw, l.height);
        sheet_.Blit(m, frame * mw, 0, mw, m.height, x + lw, y, std::max(0, width - lw - rw), m.height);
        sheet_.Blit(r, frame * rw, 0, rw, r.height, x + width - rw, y, rw, r.height);
    }
    // Corners at their size, edges stretched; pieces in the order tl, t, tr, l, r, bl, b, br
    // and an optional fill.
    void NineSlice(const std::vector<std::string>& p, int x, int y, int w, int h, const std::string& fill = "")
    {
        const Picture &tl = Get(p[0]), &t = Get(p[1]), &tr = Get(p[2]), &l = Get(p[3]), &r = Get(p[4]);
        const Picture &bl = Get(p[5]), &b = Get(p[6]), &br = Get(p[7]);
        if (!fill.empty()) {
            const Picture& f = Get(fill);
            sheet_.Blit(f, 0, 0, f.width, f.height, x + l.width, y + t.height, w - l.width - r.width,
                        h - t.height - b.height);
        }
        sheet_.Blit(tl, 0, 0, tl.width, tl.height, x, y, tl.width, tl.height);
        sheet_.Blit(t, 0, 0, t.width, t.height, x + tl.width, y, w - tl.width - tr.width, t.height);
        sheet_.Blit(tr, 0, 0, tr.width, tr.height, x + w - tr.width, y, tr.width, tr.height);
        sheet_.Blit(l, 0, 0, l.width, l.height, x, y + tl.height, l.width, h - tl.height - bl.height);
        sheet_.Blit(r, 0, 0, r.width, r.height, x + w - r.width, y + tr.height, r.width, h - tr.height - br.height);
        sheet_.Blit(bl, 0, 0, bl.width, bl.height, x, y + h - bl.height, bl.width, bl.height);
        sheet_.Blit(b, 0, 0, b.width, b.height, x + bl.width, y + h - b.height, w - bl.width - br.width, b.height);
        sheet_.Blit(br, 0, 0, br.width, br.height, x + w - br.width, y + h - br.height, br.width, br.height);
    }
    void Image(const std::string& name, int x, int y, int w = 0, int h = 0, int sx = 0, int sw = 0)
    {
        const Picture& p = Get(name);
        sheet_.Blit(p, sx, 0, sw ? sw : p.width, p.height, x, y, w ? w : (sw ? sw : p.width), h ? h : p.height);
    }

private:
    Sheet& sheet_;
    const std::map<std::string, Picture>& pictures_;
};

void DrawWidgets(Assembler& a, int top)
{
    int y = top;
    for (const char* prefix : {"FlimbsButton\\button-", "FlimbsButton\\button2-", "FlimbsButton\\button3-",
                               "VoiceBubbleButton\\"}) {
        const std::string p = prefix;
        for (int state = 0; state < 4; ++state)
            a.ThreeSlice(p + "left.png", p + "mid.png", p + "right.png", 10 + state * 200, y, 180, state, 4);
        y += 40;
    }
    // Window 1 with its background, window 2, and the dialog window: title, client, close.
    const std::string w1 = "FlimbsWindow1\\window-";
    a.Image("FlimbsWindow1\\window-grid.png", 22, y + 22, 296, 176);
    a.NineSlice({w1 + "top-left.png", w1 + "top-mid.png", w1 + "top-right.png", w1 + "left.png", w1 + "right.png",
                 w1 + "bottom-left.png", w1 + "bottom-mid.png", w1 + "bottom-right.png"},
                10, y, 320, 220);
    const std::string w2 = "FlimbsWindow2\\window2-";
    a.NineSlice({w2 + "top-left.png", w2 + "top.png", w2 + "top-right.png", w2 + "left.png", w2 + "right.png",
                 w2 + "bottom-left.png", w2 + "bottom.png", w2 + "bottom-right.png"},
                350, y, 260, 220, w2 + "fill.png");
    const std::string w3 = "FlimbsWindow3\\";
    a.NineSlice({w3 + "top-left.png", w3 + "top.png", w3 + "top-right.png", w3 + "left2.png", w3 + "right2.png",
                 w3 + "bottom-left.png", w3 + "bottom.png", w3 + "bottom-right.png"},
                640, y + 28, 300, 192, w3 + "fill.png");
    a.ThreeSlice("Tablet\\tablet-left.png", "Tablet\\tablet-mid.png", "Tablet\\tablet-right.png", 630, y + 4, 320);
    a.Image(w3 + "close-button2.png", 916, y + 10, 24, 24, 0, 24);
    // Inside the dialog: an edit box, a combo box, check boxes, a list with highlight and bar.
    a.ThreeSlice("EditBox\\edit-left.png", "EditBox\\edit-mid.png", "EditBox\\edit-right.png", 665, y + 60, 160);
    a.ThreeSlice("EditBox\\edit-left.png", "EditBox\\edit-mid.png", "ScrollBar\\scroll-down.png", 665, y + 90, 160);
    a.Image("CheckBox\\checkbox_on.png", 840, y + 60);
    a.Image("CheckBox\\checkbox_off.png", 870, y + 60);
    const std::string l = "ListBox\\list-";
    a.NineSlice({l + "top-left.png", l + "top-mid.png", l + "top-right.png", l + "left.png", l + "right.png",
                 l + "bottom-left.png", l + "top-mid.png", l + "bottom-right.png"},
                665, y + 122, 250, 84);
    a.Image(l + "highlight.png", 675, y + 150, 206, 20);
    const std::string s = "ScrollBar\\scroll-";
    a.Image(s + "up.png", 887, y + 126);
    a.Image(s + "mid.png", 887, y + 148, 22, 34);
    a.Image(s + "down.png", 887, y + 182);
    a.Image(s + "grip-end.png", 887, y + 150);
    a.Image(s + "grip-mid.png", 887, y + 156, 22, 14);
    a.Image(s + "grip-end.png", 887, y + 170);
    a.Image(s + "grip-grip.png", 887, y + 157);
    y += 240;
    // Tooltip, menu bar, tabs, tab buttons, grid, slider.
    const std::string t = "ToolTip\\";
    a.NineSlice({t + "corner_top_left.png", t + "border_top.png", t + "corner_top_right.png", t + "border_left.png",
                 t + "border_right.png", t + "corner_bottom_left.png", t + "border_bottom.png",
                 t + "corner_bottom_right.png"},
                10, y, 200, 50);
    const std::string m = "MenuBar\\menu-bar-";
    a.ThreeSlice(m + "left.png", m + "mid.png", m + "right.png", 230, y, 420);
    a.Image(m + "mid-hover.png", 330, y, 100);
    a.Image(m + "mid-on.png", 440, y, 100);
    a.ThreeSlice("TabControl\\tab-left.png", "TabControl\\tab-mid.png", "TabControl\\tab-right.png", 670, y, 120);
    const std::string tb = "TabButton\\tab-button-";
    a.ThreeSlice(tb + "left.png", tb + "fill-on.png", tb + "right.png", 800, y, 100);
    a.ThreeSlice(tb + "left.png", tb + "fill-off.png", tb + "right.png", 900, y, 100);
    y += 60;
    const std::string g = "ServerBrowser\\";
    a.Image(g + "header-back.png", 10, y, 400, 24);
    for (int row = 0; row < 4; ++row)
        a.Image(g + (row % 2 ? "row2-back.png" : "row-back.png"), 10, y + 24 + row * 20, 400, 20);
    a.Image(g + "column-divider.png", 150, y, 2, 104);
    a.Image(g + "column-divider.png", 290, y, 2, 104);
    a.Image("Slider\\slider_groove.png", 440, y + 10, 240, 10);
    a.Image("Slider\\slider_bar.png", 540, y + 3);
}

// The pieces of one widget fit together: the three pieces of a strip share their frame
// height, and a frame's edges are as thick as its corners. The combo box closes its edit
// strip with the scroll bar's down arrow, so those share a height too.
TEST(SkinArtTable, PiecesOfAWidgetFitTogether)
{
    const std::vector<TableImage> table = ReadSkinTable();
    std::map<std::string, const TableImage*> byName;
    std::map<std::string, std::vector<const TableImage*>> families; // folder + look
    for (const TableImage& t : table) {
        byName[t.name] = &t;
        if (!t.part.empty())
            families[t.name.substr(0, t.name.rfind('\\')) + " " + t.look].push_back(&t);
    }
    for (const auto& [family, pieces] : families) {
        SCOPED_TRACE(family);
        const bool frame = family.size() > 6 && family.compare(family.size() - 6, 6, "-frame") == 0;
        const bool strip = family.find(" pill-button") != std::string::npos || family.find(" tablet") != std::string::npos ||
                           family.find(" edit-field") != std::string::npos || family.find(" menu-bar") != std::string::npos ||
                           family.find(" tab") != std::string::npos;
        int cornerWidth = 0, cornerHeight = 0;
        for (const TableImage* p : pieces)
            if (p->part == "top-left")
                cornerWidth = p->frameWidth, cornerHeight = p->frameHeight;
        for (const TableImage* p : pieces) {
            if (strip) {
                EXPECT_EQ(p->frameHeight, pieces.front()->frameHeight) << p->name;
            }
            // Corners ("top-left"...) and the top and bottom edges share the corner height;
            // corners and the side edges share its width.
            if (frame && (p->part == "top" || p->part == "bottom" || p->part.find('-') != std::string::npos)) {
                EXPECT_EQ(p->frameHeight, cornerHeight) << p->name;
            }
            if (frame && p->part != "top" && p->part != "bottom" && p->part != "fill") {
                EXPECT_EQ(p->frameWidth, cornerWidth) << p->name;
            }
        }
        EXPECT_TRUE(!frame || cornerWidth > 0) << "a frame without its top-left corner";
    }
    const TableImage* edit = byName["Graphics\\Menu\\EditBox\\edit-left.png"];
    const TableImage* arrow = byName["Graphics\\Menu\\ScrollBar\\scroll-down.png"];
    ASSERT_TRUE(edit && arrow);
    EXPECT_EQ(edit->frameHeight, arrow->frameHeight);
    EXPECT_GE(families.size(), 15u);
}

using SkinArtTest = SurfaceFixture;

TEST_F(SkinArtTest, EveryImageLoadsWithItsTableLayoutAndStretchesCleanly)
{
    StartDevice();
    const std::vector<TableImage> table = ReadSkinTable();
    ASSERT_GE(table.size(), 80u);
    std::map<std::string, Picture> pictures;
    for (const TableImage& t : table) {
        SCOPED_TRACE(t.name);
        AnimSurface* image = ImageCache::GetImage(t.name);
        ASSERT_NE(image, nullptr);
        EXPECT_STRCASEEQ(image->GetName(), t.name.c_str()) << "fell back to the default image";
        EXPECT_EQ(image->imageWidth, t.width);
        EXPECT_EQ(image->imageHeight, t.height);
        image->SetFrameSize(t.frameWidth, t.frameHeight);
        EXPECT_EQ(image->frameCount, t.frames) << "the table's frames fill the image";
        const Picture pic = ReadPixels(image);
        const bool laidOut = image->imageWidth == t.width && image->imageHeight == t.height && image->frameCount == t.frames;
        ImageCache::ReleaseImage(image);
        if (!laidOut)
            continue;
        const int columns = t.width / t.frameWidth;
        for (int f = 0; f < t.frames; ++f) {
            const int x0 = f % columns * t.frameWidth, y0 = f / columns * t.frameHeight;
            bool drawn = false;
            for (int y = 0; y < t.frameHeight && !drawn; ++y)
                for (int x = 0; x < t.frameWidth && !drawn; ++x)
                    drawn = (pic.At(x0 + x, y0 + y) >> 24) > 128;
            EXPECT_TRUE(drawn) << "frame " << f << " is blank";
            if (const char stretch = StretchOf(t)) {
                EXPECT_EQ(StretchFault(pic, x0, y0, t.frameWidth, t.frameHeight, stretch), "") << "frame " << f;
            }
            // State frames all differ; longer animations change from frame to frame.
            for (int other = t.frames <= 4 ? 0 : std::max(0, f - 1); other < f; ++other)
                EXPECT_TRUE(FramesDiffer(pic, t, f, other)) << "frames " << other << " and " << f;
        }
        pictures[t.name] = pic;
    }

    // Contact sheet: every image at twice its size, then the widgets assembled.
    const int sheetWidth = 1200;
    int x = 10, y = 10, rowHeight = 0;
    std::vector<std::pair<const Picture*, std::pair<int, int>>> placed;
    // Small pieces at twice their size, large images at most 448 pixels wide.
    auto shownWidth = [&](const Picture& p) { return p.width <= 160 ? p.width * 2 : std::min(p.width, 448); };
    for (const TableImage& t : table) {
        const Picture& p = pictures[t.name];
        const int w = shownWidth(p), h = p.height * w / std::max(1, p.width);
        if (x + w > sheetWidth - 10)
            x = 10, y += rowHeight + 10, rowHeight = 0;
        placed.push_back({&p, {x, y}});
        x += w + 10;
        rowHeight = std::max(rowHeight, h);
    }
    const int widgetsTop = y + rowHeight + 30;
    Sheet sheet(sheetWidth, widgetsTop + 600);
    for (const auto& [picture, at] : placed) {
        const int w = shownWidth(*picture);
        sheet.Blit(*picture, 0, 0, picture->width, picture->height, at.first, at.second, w,
                   picture->height * w / std::max(1, picture->width));
    }
    Assembler assembler(sheet, pictures);
    DrawWidgets(assembler, widgetsTop);
    EXPECT_TRUE(sheet.Save(std::string(FLIMBS_GAME_DIR) + "/skin-contact-sheet.png"));
}

} // namespace
