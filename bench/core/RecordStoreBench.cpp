// Record store costs over the registry database: each write is a synced transaction, reads are
// single queries; the next id enumerates the store's values.
#include "microedition/rms/DRecordStore.h"
#include "platform/DeviceProfile.h"
#include "platform/registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace qev::lang;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

// A store of `records` records of 64 bytes in a database of its own.
struct StoreFixture
{
    explicit StoreFixture(int records)
    {
        char pattern[] = "/tmp/ph-bench-rms-XXXXXX";
        folder = mkdtemp(pattern);
        platform::Registry::closeDatabase();
        platform::DeviceProfile::current().registryPath = folder + "/registry.sqlite";
        store = DRecordStore::openRecordStore(u"bench", true);
        record = DbyteArrayPtr(new DbyteArray(64));
        for (int i = 0; i < records; ++i)
            store->addRecord(record, 0, record->length);
    }
    ~StoreFixture()
    {
        store->closeRecordStore();
        store = nullptr;
        platform::Registry::closeDatabase();
        std::filesystem::remove_all(folder);
    }

    std::string folder;
    DRecordStorePtr store;
    DbyteArrayPtr record;
};

void BM_SetRecord(benchmark::State& state)
{
    StoreFixture f(8);
    int8_t n = 0;
    for (auto _ : state) {
        // New bytes every time: an unchanged record is not written (nor synced) at all.
        (*f.record)[0] = ++n;
        f.store->setRecord(3, f.record, 0, f.record->length);
    }
}

void BM_GetRecord(benchmark::State& state)
{
    StoreFixture f(8);
    for (auto _ : state)
        benchmark::DoNotOptimize(f.store->getRecord(3));
}

void BM_GetNextRecordID(benchmark::State& state)
{
    StoreFixture f(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(f.store->getNextRecordID());
}

} // namespace

BENCHMARK(BM_SetRecord)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_GetRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetNextRecordID)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);
