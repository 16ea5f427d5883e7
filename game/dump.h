// The game's fields of the state dump.
#pragma once

class DumpWriter;

namespace game {

void DumpFields(DumpWriter& out);

}  // namespace game
