#pragma once
// Sets an integer console variable for a test and puts the old value back; a variable that
// no subsystem registers is made for the test's life.
#include "app/ConsoleParam.h"

#include <memory>
#include <string>

class ScopedConsoleInt {
public:
    ScopedConsoleInt(const std::string& name, int value)
    {
        param_ = ConsoleParam::Find(name);
        if (!param_) {
            name_ = name;
            owned_ = std::make_unique<ConsoleParam>(name_.c_str(), ConsoleParamType::Int, "0", "test variable");
            param_ = owned_.get();
        }
        old_ = param_->GetInt();
        param_->SetInt(value);
    }
    ~ScopedConsoleInt()
    {
        if (!owned_)
            param_->SetInt(old_);
    }
    ScopedConsoleInt(const ScopedConsoleInt&) = delete;
    ScopedConsoleInt& operator=(const ScopedConsoleInt&) = delete;

private:
    std::string name_;
    std::unique_ptr<ConsoleParam> owned_;
    ConsoleParam* param_ = nullptr;
    int old_ = 0;
};
