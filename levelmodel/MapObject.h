#pragma once
// Placed objects of a level: the base of a placed primitive, trap or flimb. The level
// loader wraps every element it reads in one, so that one load operation per kind reads
// the element; the editor's model keeps them; the level writer saves them.
//
// Each property is a child element of the object's element ("prim", "trap", "flimb" in a
// level file, "object-state" for a snapshot) whose text is the value. The base writes
// "objectID" first; each kind appends its own children.
#include "platform/gfx/D3DTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Primitive;
typedef struct _xmlNode xmlNode;

enum MapObjectKind : int { kMapPrimitive = 1, kMapTrap = 2, kMapFlimb = 4 };

class MapObject {
public:
    // Takes the next serial id (past the two that a level file cannot carry) and the game
    // clock as creation time.
    MapObject();
    virtual ~MapObject();
    MapObject(const MapObject&) = delete;
    MapObject& operator=(const MapObject&) = delete;

    virtual int GetKind() const = 0;
    virtual void SetPosition(int x, int y) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void GetPosition(int& x, int& y) const = 0;
    // Rounds each coordinate to the nearest whole number and calls SetPosition.
    virtual void SetPositionF(float x, float y);
    virtual void GetPositionF(float& x, float& y) const;
    virtual std::string GetLabel() const = 0;
    virtual gfx::RECT GetBounds() const = 0;
    virtual int GetZOrder() const { return -1; }
    virtual int GetRotation() const { return 0; }
    virtual void SetRotation(int /*degrees*/) {}
    virtual void GetScale(float& sx, float& sy) const
    {
        sx = 1.0f;
        sy = 1.0f;
    }
    virtual void SetScale(float /*sx*/, float /*sy*/) {}
    // A copy; keepId keeps this object's id, else the copy takes a new one. Null when the
    // wrapped thing cannot be copied.
    virtual std::unique_ptr<MapObject> Duplicate(bool keepId) const = 0;
    // Stores the text as the saved state and reads the object back from it (no defaults).
    // Text that does not parse changes nothing (a log line says so).
    virtual void LoadState(const std::string& xml);
    virtual uint32_t GetTint() const { return 0; }
    virtual void SetTint(uint32_t /*rgb*/) {}
    virtual uint8_t GetAlpha() const { return 0; }
    virtual void SetAlpha(uint8_t /*alpha*/) {}
    // The kind's property panel (the caller owns it) and taking its values back: false for
    // a panel that is not this kind's.
    virtual Primitive* BuildPropertiesPanel() = 0;
    virtual bool ApplyConfigProps(Primitive* panel) = 0;
    // Writes "objectID" ("%u").
    virtual void WriteProps(xmlNode* element) const;
    // Reads "objectID" as unsigned digits; 0, 2^31 - 1 and 2^32 - 1 (and no digits) keep
    // the id.
    virtual void ReadProps(xmlNode* element, xmlNode* defaults);

    // The object as the text of one "object-state" element.
    std::string CaptureState() const;
    void CommitState() { savedState = CaptureState(); }
    // Copies loadedId, id, savedState and the linked trap ids.
    void CopyFrom(const MapObject& other);

    // The serial counter of new objects; the editor's clear sets it back to 0.
    static std::atomic<uint32_t> nextId;
    // The object whose property panel was built last.
    static MapObject* panelObject;

    uint32_t loadedId = 0; // the id in the file it was read from
    uint32_t id = 0;       // "objectID"
    std::string savedState;
    std::vector<uint32_t> linkedTrapIds;
    std::string name;
    uint32_t creationTime = 0;
    uint32_t flags = 0;

protected:
    // LoadState's step between parsing the text and reading it back.
    virtual void BeforeStateRead() {}
};

// The placed-object list operations of the editor.
bool IdListContains(const std::vector<uint32_t>& ids, uint32_t id);
std::vector<uint32_t> IdListWithout(const std::vector<uint32_t>& ids, uint32_t id);
// The nearest whole number, halves to even; stays inside the integer range.
int NearestInt(float v);
// Rotation normalisation of placed objects: degrees modulo 360 into 0..359.
int NormaliseRotation(int degrees);
