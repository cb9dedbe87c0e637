// The watch over the device's text-message store: logs on to the messaging system, subscribes to
// new objects in the store named "SMS" and counts those created in its watched folder; every
// tick hands the count out to the registered connections' listeners, one message each.
#pragma once

#include "platform/mapi.h"
#include "wireless/messaging/DMAPIEntry.h"
#include "wireless/messaging/DMessageConnection.h"

namespace qev::wireless::messaging {

// Any failing step leaves the watch off with everything released; nothing is thrown.
void startMessaging(HWND window);
// Safe in every state, also twice.
void stopMessaging();
// Main thread, once per tick.
void pollMessages();

// The message stores of a session, or null when the store table cannot be read.
DMAPIEntryArrayPtr listMessageStores(IMAPISession* session);

// Session, store, folder, sink and mutex all present.
bool messagingWatching();
// New messages not yet handed out.
int pendingMessageCount();
// The flag the sink counts under; nothing in the program sets it.
void setMessagingEnabled(bool enabled);
// Adds a connection to those pollMessages serves (nothing in the program adds one).
void registerMessageConnection(DMessageConnectionPtr connection);

} // namespace qev::wireless::messaging
