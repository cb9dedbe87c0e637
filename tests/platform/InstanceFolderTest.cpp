// The folder of the instance locks must be the user's alone: in one that others can reach, a
// lock held there is not believed (another user could otherwise keep the game from starting),
// no lock is taken, and the run says once what is wrong with the folder.
#include "StderrCapture.h"
#include "TempFolder.h"

#include "platform/window/InstanceRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using platform::InstanceRegistry;

namespace {

class InstanceFolder : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            saved = old, hadOld = true;
        run = folder.path() + "/run";
        ASSERT_EQ(mkdir(run.c_str(), 0700), 0);
        ASSERT_EQ(chmod(run.c_str(), 0700), 0); // whatever the umask
        setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
        InstanceRegistry::setNamespace("ph-folder-test-" + std::to_string(getpid()));
    }
    void TearDown() override
    {
        chmod(run.c_str(), 0700);
        InstanceRegistry::release(kOwn);
        InstanceRegistry::clearSeeds();
        if (hadOld)
            setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

    // Another copy holds the game's lock in the folder while it is still the user's alone.
    void otherCopyRuns()
    {
        ASSERT_TRUE(InstanceRegistry::seedForeign(u"GameEngine", u"Pallasterhorn"));
        ASSERT_NE(InstanceRegistry::findForeign(u"GameEngine", u"Pallasterhorn"), nullptr);
    }

    // With the folder as it is now: what this run says, and that it neither finds the held
    // lock nor takes one of its own.
    std::string refusedRun()
    {
        testsupport::StderrCapture stderrText;
        EXPECT_EQ(InstanceRegistry::findForeign(u"GameEngine", u"Pallasterhorn"), nullptr);
        EXPECT_FALSE(InstanceRegistry::claim(kOwn, u"GameEngine", u"Other title"));
        EXPECT_EQ(InstanceRegistry::findForeign(u"GameEngine", u"Pallasterhorn"), nullptr);
        return stderrText.text();
    }

    static inline const HWND kOwn = reinterpret_cast<HWND>(0x4000);
    testsupport::TempFolder folder;
    std::string run;
    std::string saved;
    bool hadOld = false;
};

TEST_F(InstanceFolder, AFolderOthersCanWriteIsNotBelievedAndSaidOnce)
{
    otherCopyRuns();
    ASSERT_EQ(chmod(run.c_str(), 0777), 0);
    const std::string said = refusedRun();
    EXPECT_NE(said.find(run + " has mode 777, not 700"), std::string::npos) << said;
    EXPECT_NE(said.find("XDG_RUNTIME_DIR"), std::string::npos) << said;
    // One line for the whole run, however often the folder is asked for.
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;

    // Made the user's alone again, the folder is used as before.
    ASSERT_EQ(chmod(run.c_str(), 0700), 0);
    EXPECT_NE(InstanceRegistry::findForeign(u"GameEngine", u"Pallasterhorn"), nullptr);
    EXPECT_TRUE(InstanceRegistry::claim(kOwn, u"GameEngine", u"Other title"));
}

TEST_F(InstanceFolder, AFolderOfAnotherUserIsNotBelieved)
{
    if (getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    otherCopyRuns();
    ASSERT_EQ(chown(run.c_str(), 4242, 4242), 0);
    const std::string said = refusedRun();
    EXPECT_NE(said.find(run + " belongs to another user"), std::string::npos) << said;
}

TEST_F(InstanceFolder, AFileInThePlaceOfTheFolderIsRefused)
{
    const std::string file = folder.write("not-a-folder", "");
    setenv("XDG_RUNTIME_DIR", file.c_str(), 1);
    const std::string said = refusedRun();
    EXPECT_NE(said.find(file + " is not a folder"), std::string::npos) << said;
}

} // namespace
