// Record stores for the fuzz targets that read records back: a fresh registry database per
// input (never synced to disk, as the files are thrown away at once) and records put into a
// store the way the game's own writer leaves them.
#pragma once

#include <string>
#include <vector>

namespace fuzzsupport {

// Closes the database and removes its files; the next store opened starts empty.
void freshRecordStore();
// Opens (creating) the store and adds the records as records 1, 2, ... in order.
void putRecords(const std::u16string& store, const std::vector<std::string>& records);

} // namespace fuzzsupport
