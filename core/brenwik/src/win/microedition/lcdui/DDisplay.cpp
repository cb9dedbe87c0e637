#include "microedition/lcdui/DDisplay.h"

#include "microedition/lcdui/DCanvas.h"

#include "display/DisplayContext.h"

namespace qev::microedition::lcdui {

using qev::lang::DPtr;
using qev::microedition::midlet::DMIDlet;

namespace {
DDisplay* g_display = nullptr;
} // namespace

DDisplay::DDisplay(ScreenHAL::DisplayContext* context) : m_context(context)
{
    // Without a MIDlet this throws before anything refers to the half-made display.
    DMIDlet& midlet = *DMIDlet::global();
    g_display = this;
    // The size comes from what the display offers: the back buffer cannot be had while the
    // display is suspended or has no driver.
    if (m_context) {
        m_width = m_context->params.width;
        m_height = m_context->params.height;
        if (m_context->AcquireBackBuffer())
            m_context->Present(0);
    }
    midlet.setDisplay(this);
}

DDisplay::~DDisplay()
{
    m_current = nullptr;
    if (g_display == this)
        g_display = nullptr;
}

DDisplayPtr DDisplay::getDisplay(DPtr<DMIDlet> midlet)
{
    return midlet->getDisplay();
}

DDisplay* DDisplay::global()
{
    return g_display;
}

void DDisplay::setCurrent(DDisplayablePtr displayable)
{
    if (m_current) {
        m_current->hideNotify();
        m_current->setShown(false);
    }
    m_current = displayable;
    if (m_current) {
        m_current->showNotify();
        m_current->setShown(true);
    }
}

bool DDisplay::flushGraphics()
{
    auto* canvas = dynamic_cast<DCanvas*>(m_current.get());
    if (!canvas || !canvas->getImage() || !m_context)
        return false;
    if (!m_context->AcquireBackBuffer())
        return false;
    m_context->Blit(0, 0, *canvas->getImage());
    return m_context->Present(0);
}

} // namespace qev::microedition::lcdui
