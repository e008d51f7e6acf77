#include "app/GameException.h"

#include "app/StringUtil.h"

#include <cstdarg>

GameException GameException::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStringPrintf(format, args);
    va_end(args);
    return GameException(std::move(text));
}
