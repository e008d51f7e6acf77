#pragma once
// The binding store: every bindable action once, with a primary and a secondary key name
// (empty = unbound), and the look-ups the HUD and the menus make on it.

#include <string>
#include <vector>

struct BindingEntry {
    std::string action;
    std::string keyNames[2];
};

class BindingStore {
public:
    // Builds the entries from action lists (each action once, first appearance, by name).
    void Build(const std::vector<std::vector<std::string>>& actionLists);
    const std::vector<BindingEntry>& Entries() const { return entries_; }
    std::vector<std::string> GetBindableActions() const;
    BindingEntry* FindByName(const std::string& action);
    const BindingEntry* FindByName(const std::string& action) const;
    // The action bound to a key name (primary or secondary, case ignored), or "".
    std::string ActionForKey(const std::string& keyName) const;
    void Clear() { entries_.clear(); }

private:
    std::vector<BindingEntry> entries_;
};

// The game's one store, filled from the player's profile.
BindingStore& GetBindingStore();

namespace KeyBindings {
// The command bound to a key (the key's name from the key table), or "".
std::string CommandForKey(const std::string& keyName);
} // namespace KeyBindings

// The name of the key bound to an action (primary, else secondary), or "".
std::string KeyNameForAction(const std::string& action);
// The key name of the action at that store position when below 23, else "??".
std::string KeyNameForType(int index);
// Replaces each "<Action>" token by the key bound to that action.
std::string ExpandKeyTokens(const std::string& text);
