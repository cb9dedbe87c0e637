// The gallery's picture plan (gamelib/PicturePlan).
#include "Rules.h"

#include "gamelib/PicturePlan.h"
#include "gamelib/TextTable.h"

#include "io/DByteArrayInputStream.h"
#include "lang/DbyteArray.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace datarules {

using qev::lang::DStringPtr;

namespace {

// The list's lines as the game reads them from the archive.
std::vector<DStringPtr> listLines()
{
    const std::string bytes{std::istreambuf_iterator<char>(std::cin),
                            std::istreambuf_iterator<char>()};
    qev::lang::DbyteArrayPtr data = new qev::lang::DbyteArray(static_cast<int32_t>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i)
        (*data)[static_cast<int32_t>(i)] = static_cast<int8_t>(bytes[i]);
    qev::io::DInputStreamPtr in = new qev::io::DByteArrayInputStream(data);
    std::vector<DStringPtr> lines;
    for (DStringPtr line; (line = gamelib::readTextLine(in, false));)
        lines.push_back(line);
    return lines;
}

} // namespace

int pictures(const Args& args)
{
    std::vector<int32_t> numbers;
    for (const std::string& arg : args) {
        int32_t n = 0;
        if (!parseNumber(arg, n))
            return 2;
        numbers.push_back(n);
    }
    const std::vector<DStringPtr> lines = listLines();
    for (const int32_t n : numbers) {
        const gamelib::PicturePlan plan = gamelib::planPicture(lines, n);
        if (plan.background < 0) {
            std::printf("-\n");
            continue;
        }
        std::string line = narrow(gamelib::picturePayload(lines[size_t(plan.background)]));
        for (const int32_t d : plan.overlays)
            line.append(" ").append(narrow(gamelib::picturePayload(lines[size_t(d)])));
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

} // namespace datarules
