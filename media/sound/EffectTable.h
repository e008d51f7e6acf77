#pragma once
// The table of sound effects: effect id to the game path of its file.
//
//   <sound-effects>
//     <effect id="13" file="Sounds\Effects\click.wav"/>
//   </sound-effects>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sound {

// Reads the table from the XML bytes. Rows without a valid id (0 or more) or a file are
// skipped with a log line. False when the document is not a table.
bool ParseEffectTable(const std::vector<uint8_t>& xml, std::map<int, std::string>& table);

} // namespace sound
