// An in-process messaging system behind the MAPI calls: message stores with their entry IDs and
// watched-folder property, folders by entry ID, reference counts on every object, buffers that
// must all come back, failure at any start-up step, and object-created notifications delivered
// from a thread of its own. Switched off (MAPIInitialize fails) unless installed.
#pragma once

#include "platform/mapi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::sim {

// The calls of a watch's start-up, each of which can be made to fail.
enum class MapiStep {
    None,
    Initialize,
    Logon,
    StoresTable,
    SetColumns,
    OpenMsgStore,
    GetProps,
    OpenEntry,
    Advise,
};

// How the store answers the question for its watched-folder property.
enum class FolderPropertyAnswer {
    Value,     // one value with the asked tag
    Error,     // one value of type PT_ERROR and MAPI_W_ERRORS_RETURNED
    TwoValues, // more values than asked for
};

struct MapiStore
{
    std::u16string name;
    std::vector<uint8_t> entryId;
    std::vector<uint8_t> watchedFolderId; // value of property 0x81060102
};

struct MapiConfig
{
    std::vector<MapiStore> stores;
    std::vector<std::vector<uint8_t>> folders; // entry IDs that OpenEntry finds
    MapiStep failAt = MapiStep::None;
    FolderPropertyAnswer folderProperty = FolderPropertyAnswer::Value;
};

struct MapiCounters
{
    int initializes = 0;
    int uninitializes = 0;
    int logons = 0;
    int advises = 0;
    int unadvises = 0;
    int badFrees = 0; // MAPIFreeBuffer of something that is not a live buffer
};

class MapiSimulation
{
  public:
    // The messaging system is there, with these stores; counters start at 0.
    static void install(const MapiConfig& config);
    // Back to the real run: no messaging system.
    static void uninstall();
    static bool installed();
    static MapiConfig& config();
    static MapiCounters counters();

    // Objects (sessions, tables, stores, folders) not yet released to 0.
    static int liveObjects();
    // Buffers handed out and not yet freed.
    static int liveBuffers();
    // Advise subscriptions not yet cancelled (the sink stays referenced while one exists).
    static int liveSubscriptions();

    // A new message in the folder `parentId` of every store with an object-created
    // subscription: each sink's OnNotify is called `count` times on a new thread, which this
    // call joins.
    static void fireObjectCreated(const std::vector<uint8_t>& parentId, int count = 1);

    // sms.dll with its three entry points present (they fail if called), or absent.
    static void setSmsLibraryPresent(bool present);
};

} // namespace platform::sim
