// roundbot: plays brick-breaker rounds with a bot, headless on the fake clock, and prints one
// line a round: cleared or not, the game time it took (or the hit points left at the cap), the
// lives lost and the longest time a ball went without touching the paddle or a breakable brick.
//
//   roundbot [--minutes M | --seconds S] [--max-idle S] [--seed N] <folder holding game.dat>
//            [round | first-last] ...
//
// The status is 0 when every round was cleared within the cap (and, with --max-idle, no ball
// went longer than S seconds untouched), 1 otherwise, 2 for bad arguments, a folder without
// game.dat or a failed start.
#include "RoundBot.h"
#include "ToolSession.h"

#include "tessarine/BrickList.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

struct Options
{
    std::string dataFolder;
    std::vector<int> rounds;
    int64_t capMillis = 20 * 60 * 1000;
    int64_t maxIdleMillis = -1;
    uint32_t seed = 1;
};

bool number(std::string_view text, int64_t& out)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= 0;
}

bool addRounds(std::string_view text, std::vector<int>& rounds)
{
    const size_t dash = text.find('-');
    int64_t first = 0;
    int64_t last = 0;
    if (dash == std::string_view::npos) {
        if (!number(text, first))
            return false;
        last = first;
    } else if (!number(text.substr(0, dash), first) || !number(text.substr(dash + 1), last)) {
        return false;
    }
    if (first < 1 || last > tessarine::Tessarine::kLevelCount || first > last)
        return false;
    for (int64_t r = first; r <= last; ++r)
        rounds.push_back(static_cast<int>(r));
    return true;
}

const char kUsage[] =
    "usage: roundbot [--minutes M | --seconds S] [--max-idle S] [--seed N] <folder holding "
    "game.dat> [round | first-last] ...\n"
    "Plays brick-breaker rounds (all 50 without a list) with a bot on the fake clock and prints\n"
    "a table, one row a round.\n"
    "  --minutes M, --seconds S  the game time a round may take (20 minutes)\n"
    "  --max-idle S              fail when a ball flies longer than S seconds untouched\n"
    "  --seed N                  varies the bot's aim (1)\n"
    "  -h, --help                this text\n"
    "Status: 0 when every round was cleared, 1 otherwise, 2 for bad arguments.\n";

enum class Parsed { Run, Help, Bad };

Parsed parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        int64_t value = 0;
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h")
            return Parsed::Help;
        if (arg == "--minutes" || arg == "--seconds" || arg == "--max-idle" || arg == "--seed") {
            if (!hasValue || !number(argv[++i], value))
                return Parsed::Bad;
            if (arg == "--minutes")
                o.capMillis = value * 60 * 1000;
            else if (arg == "--seconds")
                o.capMillis = value * 1000;
            else if (arg == "--max-idle")
                o.maxIdleMillis = value * 1000;
            else
                o.seed = static_cast<uint32_t>(value);
        } else if (arg.starts_with("-")) {
            return Parsed::Bad; // an option this tool does not have
        } else if (o.dataFolder.empty()) {
            o.dataFolder = std::string(arg);
        } else if (!addRounds(arg, o.rounds)) {
            return Parsed::Bad;
        }
    }
    if (o.rounds.empty())
        addRounds("1-50", o.rounds);
    return !o.dataFolder.empty() && o.capMillis > 0 ? Parsed::Run : Parsed::Bad;
}

std::string minutes(int64_t millis)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%04.1f", static_cast<long long>(millis / 60000),
                  static_cast<double>(millis % 60000) / 1000.0);
    return text;
}

// Where the bricks still to break stand, for whoever tunes the round.
void reportStanding(int round)
{
    tessarine::BrickList& list = *tessarine::brickList;
    for (int r = 0; r < tessarine::kRows; ++r)
        for (int c = 0; c < tessarine::kColumns; ++c) {
            const tessarine::Brick& b = *list.brickAt(r, c);
            if (b.type > 0 && b.type != 3 && b.type != 5)
                std::fprintf(stderr, "roundbot: round %d: row %d column %d (type %d) stands\n",
                             round, r, c, b.type);
        }
}

int playRounds(toolsupport::ToolSession& session, const Options& o)
{
    if (!session.openScreen(240, 320))
        return 2;
    // The menu the rounds start from shows the English texts, as a player's first game does.
    gamelib::languageIndex = 0;
    gamelib::loadTextFile(u"/txt/res_en", true);
    qev::lang::DPtr<roundbot::WatchedGame> game = new roundbot::WatchedGame();
    gamelib::currentScreen = game;
    platform::FakeClock::autoAdvance(1000);
    game->start();
    platform::FakeClock::autoAdvance(0);
    std::printf(
        "| round | cleared | game time | hit points left | lives lost | longest untouched |\n"
        "|---|---|---|---|---|---|\n");
    int status = 0;
    for (int round : o.rounds) {
        roundbot::RoundBot bot(*game, o.seed * 7919u + static_cast<uint32_t>(round));
        const roundbot::RoundResult r = bot.play(round, o.capMillis);
        std::printf("| %d | %s | %s | %d | %d | %.1f s |\n", r.round, r.cleared ? "yes" : "no",
                    minutes(r.millis).c_str(), r.hitPointsLeft, r.livesLost,
                    static_cast<double>(r.longestIdleMillis) / 1000.0);
        std::fflush(stdout);
        if (!r.cleared)
            reportStanding(round);
        if (!r.cleared || (o.maxIdleMillis >= 0 && r.longestIdleMillis > o.maxIdleMillis))
            status = 1;
    }
    game->stop();
    gamelib::currentScreen = nullptr;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    switch (parse(argc, argv, options)) {
    case Parsed::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case Parsed::Bad:
        std::fputs(kUsage, stderr);
        return 2;
    case Parsed::Run:
        break;
    }
    // The records a run writes (opened rounds) go to a throw-away folder.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("roundbot-" + std::to_string(getpid()));
    int status = 2;
    {
        toolsupport::ToolSession session("roundbot");
        session.useFolders(options.dataFolder, scratch.string());
        platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        status =
            session.run([&options](toolsupport::ToolSession& s) { return playRounds(s, options); });
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return status;
}
