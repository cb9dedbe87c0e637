// The player table: one entry per mixer channel, the player that last claimed it.
#pragma once

#include "lang/DTypedArray.h"
#include "microedition/media/DPlayer.h"

namespace qev::microedition::media {

class DPlayerArray : public qev::lang::DTypedArray<DPlayer>
{
  public:
    using qev::lang::DTypedArray<DPlayer>::DTypedArray;
    const char* getClassName() override { return "DPlayerArray"; }
};

using DPlayerArrayPtr = qev::lang::DPtr<DPlayerArray>;

} // namespace qev::microedition::media
