// The game data archive as built from data/, found the way the program finds it: the property
// "archive.name" in the folder of the program file.
#ifdef PH_GAME_DATA_FOLDER

#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "io/D7zipInputStream.h"
#include "lang/DSystem.h"

#include <string>

using namespace qev::lang;
using namespace qev::io;

namespace {

class GameData : public DeviceTest
{
  protected:
    GameData() { profile().programFile = std::string(PH_GAME_DATA_FOLDER) + "/pallasterhorn"; }
    ~GameData() override { D7zipInputStream::closeArchive(); }
};

std::string readText(const D7zipInputStreamPtr& in)
{
    std::string out;
    for (int32_t c; (c = in->read()) >= 0;)
        out.push_back(static_cast<char>(c));
    return out;
}

} // namespace

TEST_F(GameData, ProgramFolderArchiveHoldsTheScreenConfiguration)
{
    D7zipInputStream::openArchive(DSystem::getProperty(u"archive.name"),
                                  DSystem::getProperty(u"archive.password"));
    std::string config = readText(D7zipInputStream::open(u"/240x320"));
    // 8-bit lines ended by CR LF, the graphics set first.
    EXPECT_EQ(0u, config.find("graphics="));
    EXPECT_NE(std::string::npos, config.find("\r\n"));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, D7zipInputStream::open(u"/charset.dat"));
}

#endif
