// Placed objects: ids, kinds, positions, rotations and the level-file halves of the
// primitive, trap and flimb kinds.
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "tests/support/LevelFixture.h"
#include "traps/Trap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class MapObjectTest : public LevelFixture {
protected:
    // Reads an element given as text into the object (the level defaults' element of its
    // kind as defaults).
    static void Read(MapObject& object, const std::string& element, xmlNode* defaults = nullptr)
    {
        XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "object");
        ASSERT_TRUE(doc);
        object.ReadProps(XmlRoot(doc.get()), defaults);
    }
    static std::string Written(const MapObject& object)
    {
        XmlDocument doc = XmlNewDocument("object");
        object.WriteProps(XmlRoot(doc.get()));
        return XmlDocumentText(doc.get());
    }
};

TEST_F(MapObjectTest, IdsKindsAndTheObjectIdRule)
{
    MapEditor model;
    model.ClearObjects(); // new objects are numbered from 0 again
    MapPrimitive a, b;
    MapTrap c(Trap::Create(1));
    EXPECT_EQ(a.id, 0u);
    EXPECT_EQ(b.id, 1u);
    EXPECT_EQ(c.id, 2u);
    EXPECT_EQ(c.GetTrap()->id, 2u);
    EXPECT_EQ(a.GetKind(), 1);
    EXPECT_EQ(c.GetKind(), 2);
    EXPECT_EQ(MapFlimb(nullptr).GetKind(), 4);

    const std::pair<const char*, uint32_t> cases[] = {{"17", 17}, {"0", 1}, {"2147483647", 1}, {"4294967295", 1},
                                                      {"", 1},    {"x9", 1}, {"12abc", 12}};
    for (const auto& [text, id] : cases) {
        MapPrimitive object;
        object.id = 1;
        XmlDocument doc = XmlParseBuffer("<p/>", 4, "p");
        XmlAddChildText(XmlRoot(doc.get()), "objectID", text);
        object.MapObject::ReadProps(XmlRoot(doc.get()), nullptr);
        EXPECT_EQ(object.id, id) << text;
    }
    EXPECT_EQ(MapObject::nextId.load(), 3u + 1u + 7u); // reading ids leaves the counter alone
}

TEST_F(MapObjectTest, PositionsAndRotations)
{
    MapPrimitive primitive;
    primitive.SetPositionF(10.5f, -3.5f);
    float fx = 0, fy = 0;
    primitive.GetPositionF(fx, fy);
    EXPECT_FLOAT_EQ(fx, 10.5f);
    EXPECT_FLOAT_EQ(fy, -3.5f);
    int x = 0, y = 0;
    primitive.GetPosition(x, y);
    EXPECT_EQ(x, 10); // halves to even
    EXPECT_EQ(y, -4);
    const std::pair<int, int> rotations[] = {{-90, 270}, {720, 0}, {359, 359}, {-30, 330}};
    for (const auto& [in, out] : rotations) {
        primitive.SetRotation(in);
        EXPECT_EQ(primitive.GetRotation(), out) << in;
    }
    MapTrap trap(Trap::Create(1));
    trap.SetRotation(-30);
    EXPECT_FLOAT_EQ(trap.GetTrap()->rotation, 330.0f);
    trap.SetPositionF(2.5f, 3.5f); // the base rounds to whole pixels
    EXPECT_FLOAT_EQ(trap.GetTrap()->x, 2.0f);
    EXPECT_FLOAT_EQ(trap.GetTrap()->y, 4.0f);
}

TEST_F(MapObjectTest, PrimitiveElement)
{
    MapPrimitive primitive;
    Read(primitive, "<prim><objectID>8</objectID><posX>12.7500</posX><posY>-4.5</posY><tint>16777215</tint>"
                    "<landtobash>6</landtobash><bashtype>7</bashtype><alpha_threshold>40</alpha_threshold>"
                    "<filename>Graphics\\\\\\\\Terrain\\\\rock.png</filename><scalex>2</scalex></prim>");
    EXPECT_EQ(primitive.id, 8u);
    EXPECT_FLOAT_EQ(primitive.posX, 12.0f);
    EXPECT_FLOAT_EQ(primitive.posY, -4.0f);
    EXPECT_EQ(primitive.tint, 0x808080u);
    EXPECT_EQ(primitive.landToBash, 131286u);
    EXPECT_EQ(primitive.alphaThreshold, 128); // without high_quality
    EXPECT_EQ(primitive.fileName, "Graphics\\Terrain\\rock.png");
    EXPECT_FLOAT_EQ(primitive.scaleX, 2.0f);

    MapPrimitive zero;
    Read(zero, "<prim><bashtype>0</bashtype><alpha_threshold>40</alpha_threshold><tint>8355711</tint></prim>");
    EXPECT_EQ(zero.alphaThreshold, 0);
    EXPECT_EQ(zero.tint, 0x808080u);
    MapPrimitive kept;
    Read(kept, "<prim><high_quality>1</high_quality><alpha_threshold>40</alpha_threshold></prim>");
    EXPECT_EQ(kept.alphaThreshold, 40);

    primitive.tint = 0xFFFFFF;
    const std::string text = Written(primitive);
    EXPECT_NE(text.find("<objectID>8</objectID><posX>12.0000</posX><posY>-4.0000</posY><alpha>255</alpha>"
                        "<scaleX>2.0000</scaleX><scaleY>1.0000</scaleY><rotation>0.0000</rotation>"
                        "<tint>16777214</tint><bashtype>7</bashtype><landtobash>131286</landtobash>"
                        "<filename>Graphics\\Terrain\\rock.png</filename><bash_on_load>1</bash_on_load>"
                        "<alpha_opaque>0</alpha_opaque><crc>"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("</crc><map_order>0</map_order><shadow_mode>0</shadow_mode><no_cache>0</no_cache>"
                        "<shadow_val>112</shadow_val><alpha_threshold>128</alpha_threshold>"),
              std::string::npos)
        << text;
    // The CRC written is that of the image file (an archive file here).
    const int handle = fileManager->Open("Graphics\\Terrain\\rock.png");
    ASSERT_NE(handle, 0);
    const uint32_t crc = fileManager->GetCrc(handle);
    fileManager->Close(handle);
    EXPECT_NE(text.find("<crc>" + std::to_string(crc) + "</crc>"), std::string::npos);
    EXPECT_EQ(primitive.tint, 0xFFFFFEu);

    std::unique_ptr<MapObject> copy = primitive.Duplicate(false);
    EXPECT_NE(copy->id, primitive.id);
    EXPECT_EQ(static_cast<MapPrimitive&>(*copy).fileName, primitive.fileName);
    EXPECT_EQ(primitive.Duplicate(true)->id, primitive.id);
}

TEST_F(MapObjectTest, FlimbElement)
{
    MapFlimb flimb(nullptr);
    flimb.GetFlimb()->attributes = 0x80;
    Read(flimb, "<flimb><objectID>3</objectID><posx>-20</posx><posy>30</posy><scale>2.0</scale><group>5</group>"
                "<flimb_type>Drill</flimb_type><step>-3</step><gravity>2</gravity><lightflimb>0</lightflimb>"
                "<darkflimb>1</darkflimb><captureable>yes</captureable><energy>20000</energy><ai>4</ai></flimb>",
         LevelDefaultsElement("preflimbs", "flimb"));
    const Flimb& f = *flimb.GetFlimb();
    EXPECT_EQ(flimb.id, 3u);
    EXPECT_EQ(f.x, -20);
    EXPECT_EQ(f.prevX, -20);
    EXPECT_FLOAT_EQ(f.scale, 2.0f);
    EXPECT_EQ(f.group, 5);
    EXPECT_EQ(f.type, kDrill);
    EXPECT_EQ(f.walkSpeed, -3);
    EXPECT_EQ(f.gravity, 2);
    EXPECT_EQ(f.attributes, 0x80 | 0x40 | 0x04); // a false flag leaves its bit
    EXPECT_EQ(f.energy, 13023);
    EXPECT_EQ(f.autoBehaviour, 4);

    MapFlimb negative(nullptr);
    Read(negative, "<flimb><energy>-5</energy></flimb>", LevelDefaultsElement("preflimbs", "flimb"));
    EXPECT_EQ(negative.GetFlimb()->energy, 13023);

    const std::string text = Written(flimb);
    EXPECT_NE(text.find("<objectID>3</objectID><posX>-20</posX><posY>30</posY><scaleFactor>2.0000</scaleFactor>"
                        "<group>5</group><type>Drill</type><step>-3</step><gravity>2</gravity><lightflimb>1</lightflimb>"
                        "<darkflimb>1</darkflimb><captureable>1</captureable><energy>13023</energy><ai>4</ai>"),
              std::string::npos)
        << text;

    const std::pair<float, float> scales[] = {{0.7f, 0.5f}, {1.2f, 1.0f}, {2.5f, 3.0f}, {2.4f, 2.0f}};
    for (const auto& [in, out] : scales) {
        flimb.SetScale(in, 0.0f);
        EXPECT_FLOAT_EQ(flimb.GetFlimb()->scale, out) << in;
    }
    flimb.GetFlimb()->walkSpeed = 3;
    flimb.SetScale(-1.0f, 1.0f);
    EXPECT_EQ(flimb.GetFlimb()->walkSpeed, -3);
    EXPECT_FLOAT_EQ(flimb.GetFlimb()->scale, 1.0f);
}

TEST_F(MapObjectTest, TrapElementAndCopies)
{
    MapTrap trap(Trap::Create(21));
    Read(trap, "<trap><objectID>12</objectID><type>Start</type><x>5</x><y>6</y><groupID>3</groupID>"
               "<map_order>9</map_order></trap>");
    EXPECT_EQ(trap.id, 12u);
    EXPECT_NE(trap.GetTrap()->id, 12u); // the trap's own id is the reader's business
    EXPECT_EQ(trap.mapOrder, 9);
    EXPECT_EQ(trap.GetTrap()->Group(), 3);
    const std::string text = Written(trap);
    EXPECT_EQ(text.find("<object><objectID>12</objectID><type>Start</type>"), text.find("<object>"));
    EXPECT_NE(text.find("<groupID>3</groupID>"), std::string::npos) << text;
    EXPECT_NE(text.find("<ai>0</ai><map_order>9</map_order></object>"), std::string::npos) << text;

    trap.GetTrap()->id = trap.id;
    std::unique_ptr<MapObject> same = trap.Duplicate(true);
    EXPECT_EQ(same->id, 12u);
    EXPECT_EQ(static_cast<MapTrap&>(*same).GetTrap()->id, 12u);
    std::unique_ptr<MapObject> fresh = trap.Duplicate(false);
    EXPECT_NE(fresh->id, 12u);
    EXPECT_EQ(static_cast<MapTrap&>(*fresh).GetTrap()->id, fresh->id);

    // A snapshot loads back into another object of the kind.
    MapTrap other(Trap::Create(21));
    other.LoadState(trap.CaptureState());
    EXPECT_EQ(other.id, 12u);
    EXPECT_EQ(other.GetTrap()->id, 12u);
    EXPECT_EQ(trap.CaptureState().rfind("<object-state>\n  <objectID>12</objectID>", 0), 0u) << trap.CaptureState();
}

TEST_F(MapObjectTest, IdLists)
{
    const std::vector<uint32_t> ids{4, 7, 4, 9};
    EXPECT_TRUE(IdListContains(ids, 7));
    EXPECT_FALSE(IdListContains(ids, 5));
    EXPECT_EQ(IdListWithout(ids, 4), (std::vector<uint32_t>{7, 9}));
}

} // namespace
