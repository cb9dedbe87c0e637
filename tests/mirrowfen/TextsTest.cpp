// Every shipped language holds the numbers that the game parses: the lives and the shot
// velocities of the four steps.
#include "gtest/gtest.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

std::map<std::string, std::string> readTexts(const std::filesystem::path& file)
{
    std::map<std::string, std::string> texts;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != '#')
            texts[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return texts;
}

bool isNumber(const std::string& s)
{
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

TEST(MirrowfenTexts, EveryLanguageHoldsTheLivesAndShotVelocities)
{
    int languages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PH_TEXT_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("res_", 0) != 0)
            continue;
        ++languages;
        const auto texts = readTexts(entry.path());
        ASSERT_TRUE(texts.count("Lives")) << name;
        EXPECT_TRUE(isNumber(texts.at("Lives"))) << name;
        EXPECT_GT(std::stoi(texts.at("Lives")), 0) << name;
        for (int k = 1; k <= 4; ++k) {
            for (const char* axis : {"dx", "dy"}) {
                const std::string key = axis + std::to_string(k) + "k";
                ASSERT_TRUE(texts.count(key)) << name << " " << key;
                EXPECT_TRUE(isNumber(texts.at(key))) << name << " " << key;
            }
        }
    }
    EXPECT_GE(languages, 2);
}

} // namespace
