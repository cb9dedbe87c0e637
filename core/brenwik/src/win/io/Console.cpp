#include "io/Console.h"

namespace qev::io {

DPrintStreamPtr& consoleOut()
{
    static DPrintStreamPtr stream;
    return stream;
}

DPrintStreamPtr& consoleErr()
{
    static DPrintStreamPtr stream;
    return stream;
}

} // namespace qev::io
