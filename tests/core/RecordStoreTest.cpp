#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "TempFolder.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/registry.h"
#include "platform/testing/RegistryFaults.h"

#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace qev::lang;
using platform::Registry;
using platform::RegistryFaults;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

DStringPtr testApplicationName()
{
    return DStringPtr(u"Testgame");
}

DbyteArrayPtr bytes(const std::string& text)
{
    DbyteArrayPtr a(new DbyteArray(static_cast<int32_t>(text.size())));
    for (size_t i = 0; i < text.size(); ++i)
        (*a)[static_cast<int32_t>(i)] = static_cast<int8_t>(text[i]);
    return a;
}

std::string text(const DbyteArrayPtr& a)
{
    return std::string(reinterpret_cast<const char*>(a->getData()), static_cast<size_t>(a->length));
}

// Record stores over a registry database of their own.
class RecordStores : public DeviceTest
{
  protected:
    RecordStores()
    {
        Registry::closeDatabase();
        profile().registryPath = dbPath();
        DRecordStore::setApplicationNameSource(&testApplicationName);
    }
    ~RecordStores() override
    {
        DRecordStore::setApplicationNameSource(nullptr);
        RegistryFaults::clearFaults();
        Registry::closeDatabase();
    }
    std::string dbPath() const { return folder.path() + "/registry.sqlite"; }

    // Opens the store's key directly, as another program would see it.
    static HKEY rawKey(const char16_t* store)
    {
        std::u16string path = std::u16string(u"Software\\Vostrelle\\Testgame\\") + store;
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, 0, &key));
        return key;
    }

    testsupport::TempFolder folder;
};

} // namespace

TEST_F(RecordStores, NewStoresNumberTheirRecordsFromOne)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"tessarinehs1", true);
    EXPECT_EQ(0, store->getNumRecords());
    EXPECT_EQ(1, store->getNextRecordID());
    EXPECT_EQ(1, store->addRecord(bytes("first"), 0, 5));
    EXPECT_EQ(2, store->addRecord(bytes("second"), 0, 6));
    EXPECT_EQ(3, store->addRecord(bytes("third"), 0, 5));
    EXPECT_EQ(4, store->getNextRecordID());
    EXPECT_EQ(3, store->getNumRecords());
    EXPECT_EQ("second", text(store->getRecord(2)));
    EXPECT_EQ(5, store->getRecordSize(3));

    store->setRecord(2, bytes("replaced"), 0, 8);
    EXPECT_EQ("replaced", text(store->getRecord(2)));
    EXPECT_EQ(3, store->getNumRecords());

    // The records are REG_BINARY values named by decimal ids under the application's key.
    HKEY key = rawKey(u"tessarinehs1");
    BYTE buffer[16];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"3", nullptr, &type, buffer, &size));
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_EQ("third", std::string(reinterpret_cast<char*>(buffer), size));
    RegCloseKey(key);
}

TEST_F(RecordStores, RecordsAndIdsSurviveReopening)
{
    {
        DRecordStorePtr store = DRecordStore::openRecordStore(u"op_sound", true);
        store->addRecord(bytes(std::string("\0\0\0\x07", 4)), 0, 4);
        store->addRecord(bytes("x"), 0, 1);
        store->closeRecordStore();
        store->closeRecordStore(); // a second close does nothing
    }
    Registry::closeDatabase();
    DRecordStorePtr again = DRecordStore::openRecordStore(u"op_sound", false);
    EXPECT_EQ(2, again->getNumRecords());
    EXPECT_EQ(std::string("\0\0\0\x07", 4), text(again->getRecord(1)));
    EXPECT_EQ(3, again->addRecord(bytes("y"), 0, 1));
}

TEST_F(RecordStores, OffsetsAndCountsSelectTheStoredBytes)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"keys_game", true);
    DbyteArrayPtr ten = bytes("0123456789");
    EXPECT_EQ(1, store->addRecord(ten, 4, 100));
    EXPECT_EQ("456789", text(store->getRecord(1)));
    EXPECT_EQ(2, store->addRecord(ten, 10, 5));
    EXPECT_EQ(0, store->getRecordSize(2));
    EXPECT_EQ(0, store->getRecord(2)->length);
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->addRecord(ten, 11, 1));
    store->setRecord(1, ten, 2, 3);
    EXPECT_EQ("234", text(store->getRecord(1)));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, ten, 11, 1));
}

TEST_F(RecordStores, NegativeRangesAndNullDataNeverReachTheRegistry)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"ranges", true);
    DbyteArrayPtr ten = bytes("0123456789");
    store->addRecord(ten, 0, 10);
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->addRecord(ten, -1, 4));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->addRecord(ten, 0, -1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, ten, -4, 2));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, ten, 0, -2));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, nullptr, 0, 0));
    // A null array in addRecord stores nothing and answers the next id.
    EXPECT_EQ(2, store->addRecord(nullptr, 0, 5));
    EXPECT_EQ(1, store->getNumRecords());
    EXPECT_EQ("0123456789", text(store->getRecord(1)));
}

TEST_F(RecordStores, MissingRecordsAndClosedStoresRaiseTheirExceptions)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"hs", true);
    store->addRecord(bytes("a"), 0, 1);
    EXPECT_THROWS_CODE(ExceptionCode::InvalidRecordIDException,
                       store->setRecord(7, bytes("b"), 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->getRecord(7));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->getRecordSize(7));

    store->closeRecordStore();
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreNotOpenException, store->getNumRecords());
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreNotOpenException,
                       store->addRecord(bytes("a"), 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreNotOpenException,
                       store->setRecord(1, bytes("a"), 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreNotOpenException, store->getRecord(1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreNotOpenException, store->getRecordSize(1));
    EXPECT_EQ(1, store->getNextRecordID());

    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException,
                       DRecordStore::openRecordStore(nullptr, true));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException,
                       DRecordStore::openRecordStore(u"never made", false));
    // A name the registry refuses (an empty path component).
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException,
                       DRecordStore::openRecordStore(u"", true));
}

TEST_F(RecordStores, IdsFollowTheLargestValueNameWhateverElseTheKeyHolds)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"mixed", true);
    HKEY key = rawKey(u"mixed");
    const BYTE one = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"12", 0, REG_BINARY, &one, 1));
    EXPECT_EQ(13, store->getNextRecordID());
    // Names that do not parse count as 0; a name too long for the 64-unit buffer must not end
    // the count, or the record after it would be overwritten.
    std::u16string longName(80, u'z');
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"note", 0, REG_BINARY, &one, 1));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, longName.c_str(), 0, REG_BINARY, &one, 1));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"20", 0, REG_BINARY, &one, 1));
    EXPECT_EQ(21, store->getNextRecordID());
    EXPECT_EQ(21, store->addRecord(bytes("new"), 0, 3));
    EXPECT_EQ(std::string(1, '\1'), text(store->getRecord(20)));
    // "%d" reads leading digits and a sign.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"40abc", 0, REG_BINARY, &one, 1));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"-99", 0, REG_BINARY, &one, 1));
    EXPECT_EQ(41, store->getNextRecordID());
    // An id past the 32-bit range leaves no next id instead of wrapping to a used one.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"99999999999", 0, REG_BINARY, &one, 1));
    EXPECT_EQ(-1, store->getNextRecordID());
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreFullException, store->addRecord(bytes("x"), 0, 1));
    RegCloseKey(key);
}

TEST_F(RecordStores, RegistryFailuresRaiseRecordStoreException)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"faults", true);
    store->addRecord(bytes("old"), 0, 3);
    // addRecord first enumerates (one statement per value plus the end), then writes.
    RegistryFaults::failNthStatement(3, 13 /* SQLITE_FULL */);
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->addRecord(bytes("n"), 0, 1));
    RegistryFaults::failNthStatement(2, 10 /* SQLITE_IOERR */);
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, bytes("n"), 0, 1));
    RegistryFaults::clearFaults();
    EXPECT_EQ("old", text(store->getRecord(1)));
    EXPECT_EQ(1, store->getNumRecords());
    // The application name is part of the path; without a source it reads "null".
    DRecordStore::setApplicationNameSource(nullptr);
    DRecordStore::openRecordStore(u"faults", true)->addRecord(bytes("z"), 0, 1);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Vostrelle\\null\\faults", 0, 0, &key));
    RegCloseKey(key);
}

// Tests run as root, where file modes do not stop writes: the registry's fault injection stands
// in for a write-protected database and takes the same road.
TEST_F(RecordStores, AReadOnlyDatabaseKeepsItsRecordsReadableAndRefusesWrites)
{
    DRecordStore::openRecordStore(u"highscores", true)->addRecord(bytes("ALF 900"), 0, 7);
    Registry::closeDatabase();
    profile().messageBoxes = platform::MessageBoxMode::Recorded;
    RegistryFaults::refuseWrites(true);
    DRecordStorePtr store = DRecordStore::openRecordStore(u"highscores", false);
    EXPECT_EQ(1, store->getNumRecords());
    EXPECT_EQ("ALF 900", text(store->getRecord(1)));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->addRecord(bytes("B"), 0, 1));
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException, store->setRecord(1, bytes("B"), 0, 1));
    // A store that does not exist yet cannot be made.
    EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException,
                       DRecordStore::openRecordStore(u"op_sound", true));
    EXPECT_EQ("ALF 900", text(store->getRecord(1)));
}

TEST_F(RecordStores, AnEnumerationCutShortNeverOverwritesAnExistingRecord)
{
    DRecordStorePtr store = DRecordStore::openRecordStore(u"cut", true);
    store->addRecord(bytes("one"), 0, 3);
    store->addRecord(bytes("two"), 0, 3);
    // The enumeration reads value 0, value 1, then finds no value 2 (three statements). A read
    // failure at any of them leaves the largest id unknown: the new record has no safe id.
    for (unsigned n = 1; n <= 3; ++n) {
        RegistryFaults::failNthStatement(n, 10 /* SQLITE_IOERR */);
        EXPECT_THROWS_CODE(ExceptionCode::RecordStoreException,
                           store->addRecord(bytes("new"), 0, 3))
            << "failing statement " << n;
        RegistryFaults::clearFaults();
        EXPECT_EQ("one", text(store->getRecord(1))) << n;
        EXPECT_EQ("two", text(store->getRecord(2))) << n;
        EXPECT_EQ(2, store->getNumRecords()) << n;
    }
    // Once the registry answers again, the record takes the next free id.
    EXPECT_EQ(3, store->addRecord(bytes("new"), 0, 3));
    EXPECT_EQ("new", text(store->getRecord(3)));
}

namespace {

// A record that shows whether it was written whole: length, generation, then bytes derived from
// both.
std::string killRecord(uint32_t generation, int slot)
{
    size_t length = 16 + (generation * 7919u + static_cast<uint32_t>(slot) * 104729u) % 3000;
    std::string r(length, '\0');
    for (int i = 0; i < 4; ++i) {
        r[i] = static_cast<char>(length >> (8 * i));
        r[4 + i] = static_cast<char>(generation >> (8 * i));
    }
    for (size_t i = 8; i < length; ++i)
        r[i] = static_cast<char>(generation * 31 + i * 7 + static_cast<size_t>(slot));
    return r;
}

bool wholeRecord(const std::string& r, int slot)
{
    if (r.size() < 8)
        return false;
    uint32_t length = 0;
    uint32_t generation = 0;
    for (int i = 0; i < 4; ++i) {
        length |= static_cast<uint32_t>(static_cast<uint8_t>(r[i])) << (8 * i);
        generation |= static_cast<uint32_t>(static_cast<uint8_t>(r[4 + i])) << (8 * i);
    }
    return length == r.size() && r == killRecord(generation, slot);
}

std::string integrityCheck(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return verdict;
}

} // namespace

TEST_F(RecordStores, RecordsStayWholeWhenTheWriterIsKilledAtAnyMoment)
{
    constexpr int kSlots = 6;
    int previousCount = 0;
    for (int round = 0; round < 14; ++round) {
        Registry::closeDatabase();
        // In even rounds the kill comes only after the writer's first record is in, so that
        // records exist however slowly a loaded machine starts the child; odd rounds may kill
        // it at any moment from its start.
        int firstWrite[2];
        ASSERT_EQ(0, pipe(firstWrite));
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(60); // a writer that never gets killed ends all the same
            close(firstWrite[0]);
            try {
                DRecordStorePtr store = DRecordStore::openRecordStore(u"killed", true);
                for (uint32_t generation = static_cast<uint32_t>(round) * 100000u;; ++generation) {
                    if (generation == static_cast<uint32_t>(round) * 100000u + 1) {
                        char written = 1;
                        if (write(firstWrite[1], &written, 1) != 1)
                            _exit(4);
                    }
                    // Fill the slots in order, then rewrite them in turn.
                    int count = store->getNumRecords();
                    int slot = count < kSlots ? count : static_cast<int>(generation % kSlots);
                    DbyteArrayPtr data = bytes(killRecord(generation, slot));
                    if (count < kSlots)
                        store->addRecord(data, 0, data->length);
                    else
                        store->setRecord(slot + 1, data, 0, data->length);
                }
            } catch (DExceptionBase*) {
                _exit(3);
            }
        }
        close(firstWrite[1]);
        if (round % 2 == 0) {
            char written = 0;
            ASSERT_EQ(1, read(firstWrite[0], &written, 1)) << "the writer ended before writing";
        }
        close(firstWrite[0]);
        usleep(static_cast<useconds_t>(4000 + (round * 7919) % 40000));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

        // A writer killed before it made the database leaves none; once records exist, the
        // file must stay.
        if (previousCount > 0 || std::filesystem::exists(dbPath())) {
            EXPECT_EQ("ok", integrityCheck(dbPath())) << "round " << round;
        }
        DRecordStorePtr store = DRecordStore::openRecordStore(u"killed", true);
        int count = store->getNumRecords();
        EXPECT_GE(count, previousCount);
        previousCount = count;
        for (int id = 1; id <= count; ++id)
            EXPECT_TRUE(wholeRecord(text(store->getRecord(id)), (id - 1) % kSlots))
                << "round " << round << " record " << id;
        store->closeRecordStore();
    }
    EXPECT_GT(previousCount, 0);
}
