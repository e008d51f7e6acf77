#pragma once
// The text preparation of messages that levels show (annotations): a fixed list of (search,
// replacement) pairs applied in order by find and replace. Level files write a line break as
// the two characters "\n" (or "<br>"), and a tab as "\t".
#include <string>

std::string PrepareDisplayText(const std::string& text);
