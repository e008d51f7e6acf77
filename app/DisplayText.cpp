#include "app/DisplayText.h"

#include "app/StringUtil.h"

#include <string_view>
#include <utility>

std::string PrepareDisplayText(const std::string& text)
{
    static const std::pair<std::string_view, std::string_view> kReplacements[] = {
        {"\r\n", "\n"}, {"\\n", "\n"}, {"<br>", "\n"}, {"<BR>", "\n"}, {"\\t", "    "},
    };
    std::string prepared = text;
    for (const auto& [search, replacement] : kReplacements)
        prepared = ReplaceAll(std::move(prepared), search, replacement);
    return prepared;
}
