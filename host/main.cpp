// The program's WinMain. Until the application host takes over here, the program checks that it
// can open its game data the way the games will, and ends.
#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "platform/entry.h"
#include "platform/text.h"

#include <cstdio>
#include <string>

using namespace qev::lang;

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    std::puts("Pallasterhorn");
    try {
        qev::io::D7zipInputStream::openArchive(DSystem::getProperty(u"archive.name"),
                                               DSystem::getProperty(u"archive.password"));
        // The screen configuration every run reads first.
        qev::io::D7zipInputStreamPtr config = qev::io::D7zipInputStream::open(u"/240x320");
        std::printf("game data: screen configuration of %d bytes\n", config->available());
        qev::io::D7zipInputStream::closeArchive();
        return 0;
    } catch (DExceptionBase* e) {
        std::string name, message;
        platform::utf16ToUtf8(getExceptionName(e->code), name);
        platform::utf16ToUtf8(e->message, message);
        // The message names the file tried and what is wrong with it.
        std::fprintf(stderr, "pallasterhorn: the game data cannot be read (%s%s%s)\n",
                     name.c_str(), message.empty() ? "" : ": ", message.c_str());
        delete e;
        return 1;
    }
}
