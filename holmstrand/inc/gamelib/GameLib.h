// The application's MIDlet: start-up with the first-run questions, the frame loop, the one current
// screen, the application properties, and the lookup of every resource the shell and the games
// read (archive entries by screen size and graphics set, with a plain-file fallback).
#pragma once

#include "CreateMIDlet.h" // the host declares it; GameLib.cpp defines it
#include "gamelib/GameEntry.h"
#include "gamelib/GameInterface.h"

#include "io/DInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DStringArray.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"
#include "microedition/midlet/DMIDlet.h"
#include "util/DHashtable.h"
#include "util/DVector.h"

#include <cstdint>
#include <type_traits>

namespace gamelib {

class GameLib;
using GameLibPtr = qev::lang::DPtr<GameLib>;

class GameLib : public qev::microedition::midlet::DMIDlet
{
  public:
    static constexpr int32_t kStepMillis = 25;
    // A step that took this long or more skips the next repaint.
    static constexpr int64_t kPaintSkipMillis = 31;
    // More than this late (beyond the step itself) and the loop resynchronises.
    static constexpr int64_t kResyncMillis = 400;
    static constexpr int64_t kUnsupportedMessageMillis = 2000;

    // Becomes the global GameLib.
    GameLib();
    ~GameLib() override;
    const char* getClassName() override { return "GameLib"; }

    bool destroyApp(bool unconditional) override;
    // Queues a press and a release of the pause code, so the current screen sees one pause.
    void pauseApp() override;
    // Start-up; re-entered by the language and sound questions once they are answered.
    void startApp() override;
    // One pass of the frame loop: at most one 25 ms step.
    void tick() override;
    // Until the next step is due (0 when it is). While the screen is unsupported its message is
    // drawn at every tick, at the host's own pace.
    int32_t idleMillis() override;
    // "app.name", "screen.scale2x" and "image.path"; null for other keys.
    qev::lang::DStringPtr getAppProperty(qev::lang::DStringPtr key) override;

    // Stops and drops the current screen and starts a new main menu.
    static void showMainMenu();
    // The key file and the chosen language's texts, then start of the current screen.
    static void loadKeys();
    static qev::lang::DStringPtr getVersion();
    // The next step comes one step from now.
    static void resetFrameTimer();

    // Resources. An archive entry, with "/ppc" variants for large screens and the plain file of
    // the program's folder when the archive has no such entry (its failure reaches the caller).
    static qev::io::DInputStreamPtr getResourceAsStream(qev::lang::DStringPtr name);
    // The same, for a lookup that tries several names: a name the data lacks is not reported.
    static qev::io::DInputStreamPtr probeResource(qev::lang::DStringPtr name);
    // An entry of the graphics set, else of the folder's alias, else of the "common" set.
    static qev::io::DInputStreamPtr openGraphicsStream(qev::lang::DStringPtr name);
    static qev::microedition::lcdui::DImagePtr loadImage(qev::lang::DStringPtr name,
                                                         int32_t transform);
    // An image under its own archive name (no graphics set); a name the data lacks is reported
    // before the error goes on to the caller.
    static qev::microedition::lcdui::DImagePtr createImage(qev::lang::DStringPtr name);
    // Reads the configuration of the current resolution: true when it was read. Otherwise, when
    // `fault` is given, it receives what the game data did wrong (an entry that is there but
    // cannot be read, an archive without this game's data), or null when the data simply has no
    // configuration for this resolution.
    static bool loadScreenConfig(qev::lang::DStringPtr* fault = nullptr);
    static void loadFolderAliases(qev::lang::DStringPtr set, qev::lang::DStringArrayPtr folders);
    // Composes gallery picture n (1-based) from the picture list; errors leave it unfinished.
    static void drawPicture(int32_t n, qev::microedition::lcdui::DGraphicsPtr g);

    // Draws the three-line "not supported" message centred with the default font.
    static void drawUnsupportedMessage(qev::microedition::lcdui::DGraphicsPtr g);

  private:
    void runStartUp();
    // Shows the "not supported" page, and the fault of the data when it is at fault; the run
    // then ends after the page's time as a failed start.
    void refuseScreen(const qev::lang::DStringPtr& dataFault);
    void unsupportedTick();
};

// The global MIDlet (one per run).
extern GameLibPtr gameLib;
// The current screen, null at start.
extern GameInterfacePtr currentScreen;
// The screen configuration of this resolution was read.
extern uint8_t screenSupported;
// When start-up found the screen unsupported: the clock time at which its page has been shown
// long enough and the run ends (0: no such end is due).
extern int64_t unsupportedEndTime;

// Language and sound questions of start-up: the chosen language (-1: not yet), the language
// lists of the language screen, and the sound question's answer.
extern int32_t languageIndex;
extern qev::util::DVectorPtr languageNames;
extern qev::util::DVectorPtr languageShortNames;
extern int32_t languageCount;
extern uint8_t soundAnswer;
extern uint8_t soundAnswered;

// Frame loop timing.
extern int64_t frameClock;
extern int64_t lastTickDuration;

// Resource lookup state: the folder below "/graphics/" of this resolution, and per resource
// folder the folder that stands in for it in that set.
extern qev::lang::DStringPtr graphicsSet;
extern qev::util::DHashtablePtr folderAliases;

// The shell's own screens (defaults of the table below).
GameInterfacePtr makeShellLangMenu();
GameInterfacePtr startShellSoundMenu(qev::lang::DStringArrayPtr prefixes);
GameInterfacePtr makeShellMainMenu();
qev::lang::DObjectPtr makeShellNameKeyboard();

// The screens that start-up and the main menu create are reached through this table, so that
// tests can put small screens in and the program can list its games.
struct ShellScreens
{
    // A new language menu (not started).
    GameInterfacePtr (*makeLangMenu)() = &makeShellLangMenu;
    // A new sound menu, started with the games' option prefixes.
    GameInterfacePtr (*startSoundMenu)(qev::lang::DStringArrayPtr prefixes) = &startShellSoundMenu;
    // A new main menu (not started).
    GameInterfacePtr (*makeMainMenu)() = &makeShellMainMenu;
    // The games of the main menu, in menu order; empty until the program lists them.
    GameTable games;
    // The name-entry keyboard that GameStatics::init makes for the game menus.
    qev::lang::DObjectPtr (*makeNameKeyboard)() = &makeShellNameKeyboard;

    // The maker's screen; NullPointerException when no maker was registered.
    static GameInterfacePtr make(GameInterfacePtr (*maker)());
};
ShellScreens& shellScreens();

// Every global of the game library back to its start value, as a new process has them: a run
// that ended leaves its language, canvas and shared objects behind, and start-up decides by them
// what to do.
void resetGlobals();

// Tests an exception caught as a framework pointer: members of the Exception family are deleted
// and swallowed (true), anything else is thrown on by the caller.
inline bool swallowable(qev::lang::DExceptionBase* e)
{
    if (!e->isException())
        return false;
    delete e;
    return true;
}

// Runs `step` and gives what it returns (true when it returns nothing). A failure of the
// Exception family (missing or damaged data) is swallowed and gives the empty value instead
// (null, false); anything else goes on to the caller.
template <class Step> auto tolerant(Step&& step)
{
    using Result = decltype(step());
    try {
        if constexpr (std::is_void_v<Result>) {
            step();
            return true;
        } else {
            return step();
        }
    } catch (qev::lang::DExceptionBase* e) {
        if (!swallowable(e))
            throw;
    }
    if constexpr (std::is_void_v<Result>)
        return false;
    else
        return Result();
}

// Throws an exception of the code with the text as its message (cut to the message's length).
[[noreturn]] void throwWithMessage(int32_t code, const qev::lang::DStringPtr& text);

} // namespace gamelib
