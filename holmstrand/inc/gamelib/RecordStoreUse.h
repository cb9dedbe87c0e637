// The way the game library keeps its records: a store opened (made when missing) for one read
// or write and closed again whatever happened, a failure of the store itself costing only what
// was being read or written.
#pragma once

#include "io/DDataInputStream.h"
#include "lang/DString.h"
#include "lang/DbyteArray.h"
#include "microedition/rms/DRecordStore.h"

#include <cstdint>
#include <functional>

namespace gamelib {

// Opens the store, runs `use` on it and closes it. An exception that swallowable() takes ends
// `use`; `onFailure` (when given) runs then, before the store is closed. Others pass on.
void useRecordStore(const qev::lang::DStringPtr& name,
                    const std::function<void(qev::microedition::rms::DRecordStore&)>& use,
                    const std::function<void()>& onFailure = {});

// True when the store exists; it is not made when missing.
bool recordStoreExists(const qev::lang::DStringPtr& name);

// Record `id` as a data stream.
qev::lang::DPtr<qev::io::DDataInputStream> readRecord(qev::microedition::rms::DRecordStore& store,
                                                      int32_t id);

// Writes record `id`: replaced when the store has it, else added (as the next id).
void writeRecord(qev::microedition::rms::DRecordStore& store, int32_t id,
                 const qev::lang::DbyteArrayPtr& bytes);

} // namespace gamelib
