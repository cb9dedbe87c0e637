#include "microedition/midlet/DMIDlet.h"

#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DDisplay.h"

#include "platform/shell.h"

namespace qev::microedition::midlet {

using qev::lang::DPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DDisplay;

DMIDletPtr& DMIDlet::global()
{
    static DMIDletPtr midlet;
    return midlet;
}

DMIDlet::DMIDlet()
{
    global() = this;
}

DMIDlet::~DMIDlet()
{
    // Only reached once nothing holds this MIDlet, so the global no longer counts it; clearing
    // a stale pointer to it must not release it a second time.
    if (global().get() == this)
        global() = nullptr;
}

DStringPtr DMIDlet::getAppProperty(DStringPtr)
{
    return DStringPtr();
}

int32_t DMIDlet::idleMillis()
{
    return 1;
}

DPtr<DDisplay> DMIDlet::getDisplay() const
{
    return m_display;
}

void DMIDlet::setDisplay(DPtr<DDisplay> display)
{
    m_display = display;
}

bool DMIDlet::platformRequest(DStringPtr url)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.lpVerb = u"open";
    info.lpFile = url->chars();
    info.nShow = SW_SHOW;
    if (!ShellExecuteExW(&info))
        qev::lang::throwException(qev::lang::ExceptionCode::ConnectionNotFoundException);
    return false;
}

} // namespace qev::microedition::midlet
