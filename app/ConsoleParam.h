#pragma once
// Console variables and commands: named, typed global values with a default text, a help
// text, an optional change handler and an optional availability test.
//
// Each one is a global object of the subsystem that owns it, registered at static
// initialisation, so all exist before main runs. Assignments call the change handler
// afterwards; while the availability test answers false, assignments are refused.
// A command's handler runs when the command is executed; the command object then holds
// the typed argument as its text and integer value.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ConsoleParamType : int { Float = 0, Int = 1, Text = 2, Command = 3 };

class ConsoleParam {
public:
    using Handler = std::function<void(ConsoleParam&)>;
    using Availability = std::function<bool()>;

    ConsoleParam(const char* name, ConsoleParamType type, const char* defaultText, const char* help,
                 Handler onChange = {}, Availability available = {});
    ~ConsoleParam();
    ConsoleParam(const ConsoleParam&) = delete;
    ConsoleParam& operator=(const ConsoleParam&) = delete;

    const std::string& Name() const { return name_; }
    ConsoleParamType Type() const { return type_; }
    const std::string& HelpText() const { return help_; }
    const std::string& DefaultText() const { return default_; }

    int GetInt() const { return intValue_; }
    float GetFloat() const { return floatValue_; }
    const std::string& GetString() const { return textValue_; }
    // The value as the console shows it: "%d" for integers, "%.4f" for floats, else the text.
    std::string ValueText() const;

    // Each returns false (and logs) when refused; the handler runs after an accepted one.
    bool SetInt(int value);
    bool SetFloat(float value);
    bool SetString(std::string_view value);
    // Converts the text by the variable's type (a command is executed with it).
    bool SetFromString(std::string_view text);
    // Back to the default text without calling the handler.
    void ResetToDefault();
    // Runs a command's handler with the argument; for variables this is SetFromString.
    bool Execute(std::string_view argument);

    void SetChangeHandler(Handler handler) { onChange_ = std::move(handler); }
    void SetAvailability(Availability available) { available_ = std::move(available); }
    bool IsAvailable() const { return !available_ || available_(); }

    // Registry: lookup ignores ASCII case; the walk goes in ascending name order.
    static ConsoleParam* Find(std::string_view name);
    static std::string FirstName();
    // The name after `name` in the walk; empty at the end.
    static std::string NextName(std::string_view name);
    static std::string HelpTextOf(std::string_view name);
    static std::vector<ConsoleParam*> All();

private:
    bool Accept();
    void Changed();
    void StoreFromDefault();

    std::string name_;
    ConsoleParamType type_;
    std::string default_;
    std::string help_;
    Handler onChange_;
    Availability available_;
    int intValue_ = 0;
    float floatValue_ = 0.0f;
    std::string textValue_;
};

// The change callback that variables register to report every change: writes
// "<name> is now <value>" on log channel 4 (and so into the console).
void LogVariableChanged(ConsoleParam& param);

// Runs one line typed into the console: "name [argument]". A command runs with the rest of
// the line as its argument, a variable takes it as its value; a variable named alone is
// reported as "<name> is <value>". Unknown names and refused values are logged. False when
// nothing was run or assigned.
bool ExecuteConsoleLine(std::string_view line);

// Reads "name value" lines (value may hold spaces; "//" and "#" start comments) and
// assigns each known variable. Unknown names and refused values are logged and skipped.
// Returns the number of assignments made.
int LoadParamText(std::string_view text);
// Same for a host file; returns -1 when it cannot be read.
int LoadParamFile(const std::string& hostPath);
