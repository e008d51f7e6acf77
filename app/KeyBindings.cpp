#include "app/KeyBindings.h"

#include "app/StringUtil.h"

void BindingStore::Build(const std::vector<std::vector<std::string>>& actionLists)
{
    entries_.clear();
    for (const auto& list : actionLists)
        for (const std::string& action : list)
            if (!action.empty() && !FindByName(action))
                entries_.push_back(BindingEntry{action, {}});
}

std::vector<std::string> BindingStore::GetBindableActions() const
{
    std::vector<std::string> actions;
    for (const BindingEntry& entry : entries_)
        actions.push_back(entry.action);
    return actions;
}

BindingEntry* BindingStore::FindByName(const std::string& action)
{
    for (BindingEntry& entry : entries_)
        if (entry.action == action)
            return &entry;
    return nullptr;
}

const BindingEntry* BindingStore::FindByName(const std::string& action) const
{
    return const_cast<BindingStore*>(this)->FindByName(action);
}

std::string BindingStore::ActionForKey(const std::string& keyName) const
{
    if (keyName.empty())
        return {};
    for (const BindingEntry& entry : entries_)
        for (const std::string& key : entry.keyNames)
            if (EqualsNoCase(key, keyName))
                return entry.action;
    return {};
}

BindingStore& GetBindingStore()
{
    static BindingStore store;
    return store;
}

std::string KeyBindings::CommandForKey(const std::string& keyName)
{
    return GetBindingStore().ActionForKey(keyName);
}

std::string KeyNameForAction(const std::string& action)
{
    const BindingEntry* entry = GetBindingStore().FindByName(action);
    if (!entry)
        return {};
    return entry->keyNames[0].empty() ? entry->keyNames[1] : entry->keyNames[0];
}

std::string KeyNameForType(int index)
{
    const auto& entries = GetBindingStore().Entries();
    if (index < 0 || index >= 23 || static_cast<size_t>(index) >= entries.size())
        return "??";
    return KeyNameForAction(entries[static_cast<size_t>(index)].action);
}

std::string ExpandKeyTokens(const std::string& text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('<', i);
        const size_t close = open == std::string::npos ? open : text.find('>', open);
        if (close == std::string::npos) {
            out += text.substr(i);
            break;
        }
        const std::string token = text.substr(open + 1, close - open - 1);
        out += text.substr(i, open - i);
        // Tokens name actions in any letter case ("<stamp>" is the action Stamp).
        const BindingEntry* entry = nullptr;
        for (const BindingEntry& candidate : GetBindingStore().Entries())
            if (EqualsNoCase(candidate.action, token)) {
                entry = &candidate;
                break;
            }
        if (entry)
            out += KeyNameForAction(entry->action);
        else
            out += text.substr(open, close - open + 1);
        i = close + 1;
    }
    return out;
}
