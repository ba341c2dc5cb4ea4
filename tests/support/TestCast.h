// The cast the settings and voice tests play with: six characters, the third with two voice
// prefixes, no catch-all record.
#pragma once

#include <vector>

#include "app/CharacterTable.h"

namespace halcyra::testing {

inline void UseTestCast() {
  std::vector<CharacterTable::Record> records;
  int badLine = 0;
  CharacterTable::Parse(
      "Arisa 1 255 ari\nSuzune 1 255 suz\nChihaya 1 255 chi,chk\nMinato 1 255 min\n"
      "Kaede 1 255 kae\nGenzou 1 255 gen\n",
      records, badLine);
  CharacterTable::SetGameTable(std::move(records));
}

}  // namespace halcyra::testing
