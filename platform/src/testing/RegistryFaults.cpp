#include "platform/testing/RegistryFaults.h"

#include "../registry/FaultLayer.h"
#include "../registry/RegistryDatabase.h"

#include <mutex>

using platform::registry::RegistryDatabase;

namespace platform {

namespace {

// Runs `change` on the database under its lock.
template <typename Change> void withDatabase(Change change)
{
    RegistryDatabase& db = RegistryDatabase::instance();
    std::lock_guard lock(db.mutex());
    change(db);
}

} // namespace

void RegistryFaults::failNthStatement(unsigned n, int sqliteResult)
{
    withDatabase([&](RegistryDatabase& db) { db.failNthStatement(n, sqliteResult); });
}

void RegistryFaults::refuseWrites(bool refuse)
{
    withDatabase([&](RegistryDatabase& db) { db.refuseWrites(refuse); });
}

void RegistryFaults::limitDiskRoom(int64_t bytes)
{
    registry::setDiskRoom(bytes);
}

void RegistryFaults::failNthRead(unsigned n)
{
    registry::failNthRead(n);
}

void RegistryFaults::failNthSync(unsigned n)
{
    registry::failNthSync(n);
}

void RegistryFaults::lockWait(int millis)
{
    withDatabase([&](RegistryDatabase& db) { db.lockWait(millis); });
}

void RegistryFaults::clearFaults()
{
    failNthStatement(0, 0);
    refuseWrites(false);
    limitDiskRoom(-1);
    failNthRead(0);
    failNthSync(0);
    lockWait(RegistryDatabase::kLockWaitMillis);
}

void RegistryFaults::syncWrites(bool sync)
{
    withDatabase([&](RegistryDatabase& db) { db.syncWrites(sync); });
}

} // namespace platform
