#include "app/ConsoleParam.h"

#include "app/Log.h"
#include "app/StringUtil.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace {

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const
    {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const char x = AsciiLower(a[i]);
            const char y = AsciiLower(b[i]);
            if (x != y)
                return x < y;
        }
        return a.size() < b.size();
    }
};

struct Registry {
    std::mutex mutex;
    std::multimap<std::string, ConsoleParam*, NoCaseLess> byName;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry; // lives past every static ConsoleParam
    return *registry;
}

} // namespace

ConsoleParam::ConsoleParam(const char* name, ConsoleParamType type, const char* defaultText, const char* help,
                           Handler onChange, Availability available)
    : name_(name ? name : ""), type_(type), default_(defaultText ? defaultText : ""), help_(help ? help : ""),
      onChange_(std::move(onChange)), available_(std::move(available))
{
    StoreFromDefault();
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.byName.emplace(name_, this);
}

ConsoleParam::~ConsoleParam()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto [first, last] = registry.byName.equal_range(name_);
    for (auto it = first; it != last; ++it) {
        if (it->second == this) {
            registry.byName.erase(it);
            break;
        }
    }
}

void ConsoleParam::StoreFromDefault()
{
    textValue_ = default_;
    intValue_ = std::atoi(default_.c_str());
    floatValue_ = static_cast<float>(std::strtod(default_.c_str(), nullptr));
}

std::string ConsoleParam::ValueText() const
{
    switch (type_) {
    case ConsoleParamType::Int:
        return StringPrintf("%d", intValue_);
    case ConsoleParamType::Float:
        return StringPrintf("%.4f", static_cast<double>(floatValue_));
    default:
        return textValue_;
    }
}

bool ConsoleParam::Accept()
{
    if (IsAvailable())
        return true;
    WriteLog("ERROR: %s can't be changed now\n", name_.c_str());
    return false;
}

void ConsoleParam::Changed()
{
    if (onChange_)
        onChange_(*this);
}

bool ConsoleParam::SetInt(int value)
{
    if (type_ != ConsoleParamType::Int) {
        WriteLog("ERROR: int value assigned to a non int param\n");
        return false;
    }
    if (!Accept())
        return false;
    intValue_ = value;
    floatValue_ = static_cast<float>(value);
    textValue_ = StringPrintf("%d", value);
    Changed();
    return true;
}

bool ConsoleParam::SetFloat(float value)
{
    if (type_ != ConsoleParamType::Float) {
        WriteLog("ERROR: float value assigned to a non float param\n");
        return false;
    }
    if (!Accept())
        return false;
    floatValue_ = value;
    intValue_ = static_cast<int>(value);
    textValue_ = StringPrintf("%.4f", static_cast<double>(value));
    Changed();
    return true;
}

bool ConsoleParam::SetString(std::string_view value)
{
    if (type_ != ConsoleParamType::Text) {
        WriteLog("ERROR: string value assigned to a non string param\n");
        return false;
    }
    if (!Accept())
        return false;
    textValue_ = std::string(value);
    intValue_ = std::atoi(textValue_.c_str());
    Changed();
    return true;
}

bool ConsoleParam::SetFromString(std::string_view text)
{
    switch (type_) {
    case ConsoleParamType::Int: {
        int32_t value = 0;
        if (!ParseInt(text, value)) {
            WriteLog("ERROR: [%.*s] is not an integer value for %s\n", static_cast<int>(text.size()), text.data(),
                     name_.c_str());
            return false;
        }
        return SetInt(value);
    }
    case ConsoleParamType::Float: {
        float value = 0;
        if (!ParseFloat(text, value)) {
            WriteLog("ERROR: [%.*s] is not a number for %s\n", static_cast<int>(text.size()), text.data(),
                     name_.c_str());
            return false;
        }
        return SetFloat(value);
    }
    case ConsoleParamType::Text:
        return SetString(text);
    case ConsoleParamType::Command:
        return Execute(text);
    }
    return false;
}

void ConsoleParam::ResetToDefault()
{
    StoreFromDefault();
}

bool ConsoleParam::Execute(std::string_view argument)
{
    if (type_ != ConsoleParamType::Command)
        return SetFromString(argument);
    if (!Accept())
        return false;
    textValue_ = std::string(argument);
    intValue_ = std::atoi(textValue_.c_str());
    Changed();
    return true;
}

ConsoleParam* ConsoleParam::Find(std::string_view name)
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.byName.find(name);
    return it == registry.byName.end() ? nullptr : it->second;
}

std::string ConsoleParam::FirstName()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.byName.empty() ? std::string() : registry.byName.begin()->first;
}

std::string ConsoleParam::NextName(std::string_view name)
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.byName.upper_bound(name);
    return it == registry.byName.end() ? std::string() : it->first;
}

std::string ConsoleParam::HelpTextOf(std::string_view name)
{
    ConsoleParam* param = Find(name);
    return param ? param->HelpText() : std::string();
}

std::vector<ConsoleParam*> ConsoleParam::All()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<ConsoleParam*> all;
    all.reserve(registry.byName.size());
    for (auto& [name, param] : registry.byName)
        all.push_back(param);
    return all;
}

void LogVariableChanged(ConsoleParam& param)
{
    WriteLogChannel(4, "%s is now %s\n", param.Name().c_str(), param.ValueText().c_str());
}

bool ExecuteConsoleLine(std::string_view line)
{
    const std::string text = Trim(std::string(line));
    if (text.empty())
        return false;
    const size_t gap = text.find_first_of(" \t");
    const std::string name = text.substr(0, gap);
    const std::string argument = gap == std::string::npos ? std::string() : Trim(text.substr(gap));
    ConsoleParam* param = ConsoleParam::Find(name);
    if (!param) {
        WriteLog("Unknown console parameter [%s]\n", name.c_str());
        return false;
    }
    if (param->Type() == ConsoleParamType::Command)
        return param->Execute(argument);
    if (argument.empty()) {
        WriteLog("%s is %s\n", param->Name().c_str(), param->ValueText().c_str());
        return false;
    }
    return param->SetFromString(argument);
}

int LoadParamText(std::string_view text)
{
    int assigned = 0;
    for (const std::string& rawLine : SplitString(text, "\r\n")) {
        std::string line = rawLine;
        for (const char* marker : {"//", "#"}) {
            const size_t comment = line.find(marker);
            if (comment != std::string::npos)
                line.erase(comment);
        }
        line = Trim(line);
        if (line.empty())
            continue;
        const size_t gap = line.find_first_of(" \t");
        const std::string name = line.substr(0, gap);
        const std::string value = gap == std::string::npos ? std::string() : Trim(line.substr(gap));
        ConsoleParam* param = ConsoleParam::Find(name);
        if (!param) {
            WriteLog("Unknown console parameter [%s]\n", name.c_str());
            continue;
        }
        if (param->Type() == ConsoleParamType::Command) {
            WriteLog("Console command [%s] is not run from a parameter file\n", name.c_str());
            continue;
        }
        if (param->SetFromString(value))
            ++assigned;
    }
    return assigned;
}

int LoadParamFile(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return -1;
    std::ostringstream content;
    content << in.rdbuf();
    return LoadParamText(content.str());
}
