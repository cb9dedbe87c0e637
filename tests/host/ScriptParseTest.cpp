// The script grammar: what is accepted, in which order commands run, and which lines are
// refused with their numbers.
#include "Script.h"

#include <gtest/gtest.h>

namespace {

using host::Script;
using Kind = host::ScriptCommand::Kind;

Script parsed(const std::string& text)
{
    Script s;
    std::vector<std::string> errors;
    EXPECT_TRUE(Script::parse(text, s, errors)) << (errors.empty() ? "" : errors[0]);
    return s;
}

std::vector<std::string> refused(const std::string& text)
{
    Script s;
    std::vector<std::string> errors;
    EXPECT_FALSE(Script::parse(text, s, errors));
    return errors;
}

TEST(ScriptParse, EveryCommand)
{
    Script s = parsed("# a comment line\n"
                      "seed 42\r\n"
                      "\n"
                      "0 key down 38   # trailing comment\n"
                      "1 key repeat 38\n"
                      "2 key up 38\n"
                      "3 press 13\n"
                      "5 tap 10 20\n"
                      "7 pointer down 1 2\n"
                      "7 pointer move 3 4\n"
                      "8 pointer up 65535 0\n"
                      "9 deactivate\n"
                      "10 activate\n"
                      "11 stall 5000\n"
                      "12 dump frame-1\n"
                      "12 records scores.v2\n"
                      "13 end\n");
    EXPECT_EQ(s.seed, 42);
    const std::vector<std::pair<long, Kind>> expected{
        {0, Kind::KeyDown},   {1, Kind::KeyRepeat},   {2, Kind::KeyUp},
        {3, Kind::KeyDown},   {4, Kind::KeyUp},       {5, Kind::PointerDown},
        {6, Kind::PointerUp}, {7, Kind::PointerDown}, {7, Kind::PointerMove},
        {8, Kind::PointerUp}, {9, Kind::Deactivate},  {10, Kind::Activate},
        {11, Kind::Stall},    {12, Kind::Dump},       {12, Kind::Records},
        {13, Kind::End}};
    ASSERT_EQ(s.commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(s.commands[i].pass, expected[i].first) << i;
        EXPECT_EQ(s.commands[i].kind, expected[i].second) << i;
    }
    EXPECT_EQ(s.commands[3].key, 13);
    EXPECT_EQ(s.commands[5].x, 10);
    EXPECT_EQ(s.commands[5].y, 20);
    EXPECT_EQ(s.commands[9].x, 65535);
    EXPECT_EQ(s.commands[12].millis, 5000);
    EXPECT_EQ(s.commands[13].name, "frame-1.png");
    EXPECT_EQ(s.commands[14].name, "scores.v2.txt");
    EXPECT_EQ(s.lastPass(), 13);
}

TEST(ScriptParse, CommandsOfOnePassKeepTheFileOrder)
{
    // The press's release at pass 2 stands where the press stands in the file.
    Script s = parsed("2 key down 50\n1 press 49\n2 key down 51\n0 dump a\n");
    ASSERT_EQ(s.commands.size(), 5u);
    EXPECT_EQ(s.commands[0].name, "a.png");
    EXPECT_EQ(s.commands[1].key, 49);
    EXPECT_EQ(s.commands[2].key, 50);
    EXPECT_EQ(s.commands[3].key, 49);
    EXPECT_EQ(s.commands[3].kind, Kind::KeyUp);
    EXPECT_EQ(s.commands[4].key, 51);
}

TEST(ScriptParse, DefaultSeedAndEmptyScript)
{
    Script s = parsed("# nothing\n\n");
    EXPECT_EQ(s.seed, 1000000);
    EXPECT_TRUE(s.commands.empty());
    EXPECT_EQ(s.lastPass(), 0);
}

TEST(ScriptParse, MalformedLinesAreRefusedWithTheirNumbers)
{
    const std::vector<std::string> errors = refused("0 key down 38\n"
                                                    "1 jump\n"
                                                    "seed 5\n"
                                                    "-1 end\n"
                                                    "2 key down 0\n"
                                                    "2 key down 255\n"
                                                    "2 key down 0x26\n"
                                                    "2 key sideways 38\n"
                                                    "3 tap 10\n"
                                                    "3 tap 10 20 30\n"
                                                    "4 pointer move -1 5\n"
                                                    "5 dump ../outside\n"
                                                    "5 dump .hidden\n"
                                                    "6 dump a\n"
                                                    "7 dump a\n"
                                                    "8 stall\n"
                                                    "9 end now\n"
                                                    "10 press 38 39\n"
                                                    "+3 end\n"
                                                    "99999999999 end\n");
    ASSERT_EQ(errors.size(), 18u);
    const int lines[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20};
    for (size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i].rfind("line " + std::to_string(lines[i]) + ":", 0), 0u) << errors[i];
}

TEST(ScriptParse, SeedComesOnceAndFirst)
{
    EXPECT_EQ(refused("seed 1\nseed 2\n").size(), 1u);
    EXPECT_EQ(refused("seed\n").size(), 1u);
    EXPECT_EQ(refused("seed 12abc\n").size(), 1u);
    EXPECT_EQ(parsed("# comment first\nseed 7\n0 end\n").seed, 7);
}

TEST(ScriptParse, OutputsNeverReplaceTheRunnersOwnFiles)
{
    // The file an output writes is what counts: these would be the manifest.
    const std::vector<std::string> errors = refused("5 records manifest\n"
                                                    "6 records MANIFEST\n");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("manifest.txt is one of the runner's own files"), std::string::npos)
        << errors[0];
    EXPECT_NE(errors[1].find("MANIFEST.txt is one of the runner's own files"), std::string::npos)
        << errors[1];
    // Names that only look alike replace nothing: their files get their own extension.
    Script s = parsed("5 records manifests\n6 dump manifest\n7 records registry\n"
                      "8 records manifest.txt\n9 dump registry.sqlite\n"
                      "10 records registry.sqlite-wal\n11 dump registry.sqlite-shm\n");
    ASSERT_EQ(s.commands.size(), 7u);
    EXPECT_EQ(s.commands[1].name, "manifest.png");
    EXPECT_EQ(s.commands[3].name, "manifest.txt.txt");
    EXPECT_EQ(s.commands[4].name, "registry.sqlite.png");
    EXPECT_EQ(s.commands[5].name, "registry.sqlite-wal.txt");
}

} // namespace
