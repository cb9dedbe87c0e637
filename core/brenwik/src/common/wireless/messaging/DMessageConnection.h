// A message connection: the SMS watch hands each new message to its listener.
#pragma once

#include "wireless/messaging/DMessageListener.h"

namespace qev::wireless::messaging {

class DMessageConnection : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "DMessageConnection"; }
    void setMessageListener(DMessageListenerPtr l) { listener = l; }

    DMessageListenerPtr listener;
};

using DMessageConnectionPtr = qev::lang::DPtr<DMessageConnection>;

} // namespace qev::wireless::messaging
