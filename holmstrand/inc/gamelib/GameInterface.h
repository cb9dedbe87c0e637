// What every screen of the shell and the games is: started once when it becomes current, updated
// once per 25 ms step, painted with the screen graphics, stopped before it is replaced.
#pragma once

#include "lang/DObject.h"

namespace gamelib {

class GameInterface : public qev::lang::DObject
{
  public:
    const char* getClassName() override { return "GameInterface"; }
    virtual void start() {}
    virtual void update() {}
    virtual void paint() {}
    virtual void stop() {}
    // Two hooks without a role in the shell; screens may use them as they like.
    virtual void hookA() {}
    virtual void hookB() {}
};

using GameInterfacePtr = qev::lang::DPtr<GameInterface>;

} // namespace gamelib
