// What the picture tools share: a headless run of the game library on a game.dat of a given
// folder (its own record store, the archive open, a screen of the game's size with fonts and
// shared objects), and the screen written out as PNG files.
#pragma once

#include "gamelib/GameLib.h"
#include "microedition/lcdui/DImage.h"

#include <functional>
#include <string>

namespace toolsupport {

// Writes an image's RGB565 pixels as an 8-bit RGB PNG, each channel scaled to 0..255.
bool writePng(const qev::microedition::lcdui::DImagePtr& image, const std::string& path);

class ToolSession
{
  public:
    // `name` is the tool's, for its messages and its record store's file.
    explicit ToolSession(const char* name);
    // Drops the screen and the shared objects the run made.
    ~ToolSession();
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    // `tool <folder holding game.dat> <out folder>`: false (usage shown) for anything else.
    // Makes the out folder and points the program at the game.dat folder.
    bool parseArguments(int argc, char** argv);
    // The same for a tool with arguments of its own: the game.dat folder and the out folder.
    void useFolders(const std::string& dataFolder, const std::string& outFolder);
    // Runs `body` with a fresh record store in the out folder, a GameLib and game.dat open; an
    // exception of the framework is reported and gives 1, a folder without game.dat is said
    // and gives 2, else what `body` returns.
    int run(const std::function<int(ToolSession&)>& body);

    // A width x height screen as the game's, its screen configuration, shared objects and
    // fonts; false (and said) when game.dat has no configuration for that size.
    bool openScreen(int width, int height);
    // Writes the screen as <out folder>/<shot>.png and says so.
    bool shot(const std::string& shot);

    const char* name() const { return m_name; }

  private:
    const char* m_name;
    std::string m_dataFolder;
    std::string m_outFolder;
    qev::lang::DPtr<gamelib::GameLib> m_lib;
    qev::microedition::lcdui::DImagePtr m_screen;
};

} // namespace toolsupport
