#include "ProgramGames.h"

#include "corvantine/Corvantine.h"
#include "mirrowfen/Mirrowfen.h"
#include "tessarine/Tessarine.h"

gamelib::GameTable programGames()
{
    // A new game adds its entry here, at its place in the menu.
    static const gamelib::GameEntry games[] = {
        tessarine::gameEntry,
        mirrowfen::gameEntry,
        corvantine::gameEntry,
    };
    return games;
}
