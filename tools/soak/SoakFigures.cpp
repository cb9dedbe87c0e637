#include "SoakFigures.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace soak {

std::string formatFigures(const SoakFigures& f, uint64_t seed)
{
    std::ostringstream out;
    const double hours = static_cast<double>(f.steps) * 25 / 3600000.0;
    out << "seed " << seed << "\n";
    out << "steps " << f.steps << " (" << hours << " simulated hours)\n";
    out << "runs " << f.runs << ", ended by the player " << f.exits << "\n";
    out << "input: key events " << f.keyEvents << ", taps " << f.taps << ", focus losses "
        << f.deactivations << ", level selects " << f.levelSelects << "\n";
    out << "screens visited " << f.screens.size() << ":";
    for (const auto& [name, steps] : f.screens)
        out << " " << name << "=" << steps;
    out << "\nlevels selected " << f.levels.size() << ":";
    for (int level : f.levels)
        out << " " << level;
    for (const auto& [game, levels] : f.gameLevels) {
        out << "\n" << game << " levels reached " << levels.size() << ":";
        for (int level : levels)
            out << " " << level;
    }
    out << "\ncrashes " << f.crashes << "\nhangs " << f.hangs << "\n";
    out << "rss kB: start " << f.rssStartKb << ", after a minute " << f.rssWarmKb << ", end "
        << f.rssEndKb << "\n";
    for (const std::string& fault : f.faults)
        out << "fault: " << fault << "\n";
    return out.str();
}

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

} // namespace soak
