// Record stores for the fuzz targets that read records back: an empty registry database per
// input (in memory, as it is thrown away at once) and records put into a store the way the
// game's own writer leaves them.
#pragma once

#include <string>
#include <vector>

namespace fuzzsupport {

// Empties the in-memory database: the next store opened starts empty.
void freshRecordStore();
// Opens (creating) the store and adds the records as records 1, 2, ... in order.
void putRecords(const std::u16string& store, const std::vector<std::string>& records);

} // namespace fuzzsupport
