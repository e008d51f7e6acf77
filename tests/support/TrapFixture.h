#pragma once
// Traps on the flimb fixture: the trap specs loaded, traps made by kind and registered with
// the world, the editor panel's widgets set as a user would, trap XML round trips.
#include "tests/support/FlimbFixture.h"

#include "tests/support/PanelInput.h"

#include "app/XmlUtil.h"
#include "gui/WindowList.h"
#include "traps/Trap.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <gtest/gtest.h>

#include <string>

class TrapFixture : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadTrapSpecs();
    }
    void TearDown() override
    {
        CloseAllWindows();
        UnloadTraps();
        FlimbFixture::TearDown();
    }

    // A new trap of the kind as its class, registered with the world (which owns it).
    template <class T>
    T* AddTrap(int32_t kind, float px = 0.0f, float py = 0.0f)
    {
        std::unique_ptr<Trap> made = Trap::Create(kind);
        auto* typed = dynamic_cast<T*>(made.get());
        EXPECT_NE(typed, nullptr) << "kind " << kind;
        if (!typed)
            return nullptr;
        typed->x = px;
        typed->y = py;
        RegisterTrap(std::move(made));
        return typed;
    }
    // A trap of the kind as its class, not registered.
    template <class T>
    static std::unique_ptr<T> MakeTrap(int32_t kind)
    {
        std::unique_ptr<Trap> made = Trap::Create(kind);
        if (!dynamic_cast<T*>(made.get()))
            return nullptr;
        return std::unique_ptr<T>(static_cast<T*>(made.release()));
    }

    // The text of a trap's Save under a "trap" element.
    static std::string SaveText(const Trap& trap)
    {
        XmlDocument doc = XmlNewDocument("trap");
        trap.Save(XmlRoot(doc.get()));
        return XmlDocumentText(doc.get());
    }
    // Loads a "trap" element text, with an optional defaults element text.
    static void LoadText(Trap& trap, const std::string& element, const std::string& defaults = "")
    {
        XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "trap");
        ASSERT_TRUE(doc);
        XmlDocument defaultsDoc;
        if (!defaults.empty())
            defaultsDoc = XmlParseBuffer(defaults.data(), defaults.size(), "defaults");
        trap.Load(XmlRoot(doc.get()), XmlRoot(defaultsDoc.get()), kTrapLoadAll);
    }

    // The panel's widgets changed as the user changes them (tests/support/PanelInput.h).
    static void Type(LayoutPanel& panel, const std::string& key, const std::string& text) { PanelType(panel, key, text); }
    static void Slide(LayoutPanel& panel, const std::string& key, float value) { PanelSlide(panel, key, value); }
    static void Check(LayoutPanel& panel, const std::string& key, bool on) { PanelCheck(panel, key, on); }
    static void Choose(LayoutPanel& panel, const std::string& key, int index) { PanelChoose(panel, key, index); }

    // The world's state hash after the updates.
    static uint64_t RunAndHash(int updates)
    {
        Run(updates);
        return WorldStateHash();
    }
};
