// Told of each incoming message of a connection it listens to.
#pragma once

#include "lang/DObject.h"

namespace qev::wireless::messaging {

class DMessageConnection;

class DMessageListener : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "DMessageListener"; }
    virtual void notifyIncomingMessage(qev::lang::DPtr<DMessageConnection> connection) = 0;
};

using DMessageListenerPtr = qev::lang::DPtr<DMessageListener>;

} // namespace qev::wireless::messaging
