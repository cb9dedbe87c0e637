// Shared set-up of the game library's tests: a program folder of its own per test (with plain
// files and, on request, a game.dat archive), the default device profile, and every shell global
// back to its start value afterwards.
#pragma once

#include "../core/SevenZipTool.h"
#include "CoreTestSupport.h"
#include "ProfileScope.h"
#include "TempFolder.h"

#include "io/DInputStream.h"

#include <map>
#include <string>

namespace shelltest {

// A PNG of w x h pixels of one colour (0xRRGGBB).
std::string png(int w, int h, uint32_t rgb);

// Plain shell state for tests that need no display: screen size, resource lookup, input.
class ShellTest : public ProfileTest
{
  protected:
    ShellTest();
    ~ShellTest() override;

    // Packs the entries into game.dat in the program folder and opens it.
    void openArchive(const std::map<std::string, std::string>& entries);
    // A plain file of the program folder.
    void writeFile(const std::string& name, const std::string& bytes) { folder.write(name, bytes); }
    // Every byte of the resource stream.
    static std::string readAll(qev::io::DInputStreamPtr in);

    testsupport::TempFolder folder;
};

// Puts every global of the game library back to its start value.
void resetShellGlobals();

} // namespace shelltest
