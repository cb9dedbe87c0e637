#include "microedition/lcdui/DCanvas.h"

#include "lang/DInteger.h"
#include "microedition/lcdui/DCanvasKeys.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/lcdui/DGraphics.h"

#include "raster/ImageHolder.h"

#include <cstring>

namespace qev::microedition::lcdui {

using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::lang::DInteger;
using qev::lang::DObjectArray;
using qev::lang::DObjectArrayPtr;
using qev::lang::DObjectPtr;
using qev::lang::DPtr;
using qev::lang::DStringPtr;
using qev::microedition::midlet::DMIDlet;
using qev::util::DHashtable;

namespace {

constexpr int32_t kTableCapacity = 11;
constexpr int32_t kTableLoad = 75;

DObjectPtr boxed(int32_t value)
{
    return DObjectPtr(new DInteger(value));
}

} // namespace

DCanvas::DCanvas()
{
    m_width = DDisplay::getDisplay(DMIDlet::global())->getWidth();
    m_height = DDisplay::getDisplay(DMIDlet::global())->getHeight();
    rebuildKeyMap(0);
    m_image = std::make_unique<ImageHolder>();
    m_image->colourKey = Gfx::kNoColourKey;
    m_image->surface = Surface::Create(m_width, m_height);
    // Black until the game draws: a flush before the first paint shows no stale memory.
    if (m_image->surface)
        std::memset(m_image->surface->pixels, 0,
                    static_cast<size_t>(m_image->surface->pitch) * m_image->surface->height);
}

DCanvas::~DCanvas()
{
    delete m_image->surface;
}

void DCanvas::pointerPressed(int32_t, int32_t) {}
void DCanvas::pointerReleased(int32_t, int32_t) {}
void DCanvas::keyPressed(int32_t) {}
void DCanvas::keyReleased(int32_t) {}
void DCanvas::keyRepeated(int32_t) {}
void DCanvas::paint(DPtr<DGraphics>) {}
void DCanvas::pointerDragged(int32_t, int32_t) {}

int32_t DCanvas::getGameAction(int32_t keyCode)
{
    if (!m_keyMap)
        return -1;
    // Boxed integers hash to their value, so the hash alone finds the entry.
    DObjectPtr action = m_keyMap->get(keyCode);
    return action ? qev::lang::dcast<DInteger>(action)->intValue() : -1;
}

DintArrayPtr DCanvas::getKeys(int32_t action, int32_t count)
{
    if (action >= kActionCount)
        return DintArrayPtr();
    if (count == -1) {
        count = 0;
        for (const KeyAction& pair : defaultKeyActions())
            count += pair.action == action ? 1 : 0;
    }
    if (count <= 0)
        return DintArrayPtr();
    DintArrayPtr keys(new DintArray(count));
    for (int32_t i = 0; i < count; ++i)
        (*keys)[i] = -1;
    int32_t filled = 0;
    for (const KeyAction& pair : defaultKeyActions()) {
        if (filled == count)
            break;
        if (pair.action == action)
            (*keys)[filled++] = pair.key;
    }
    return keys;
}

void DCanvas::setKeyMapping(int32_t keySet, DObjectArrayPtr keysByAction)
{
    if (!m_overrides)
        m_overrides = new DHashtable(kTableCapacity, kTableLoad);
    if (keysByAction)
        m_overrides->put(boxed(keySet), keysByAction);
    else
        m_overrides->remove(boxed(keySet));
    if (keySet == m_keySet)
        rebuildKeyMap(keySet);
}

void DCanvas::rebuildKeyMap(int32_t keySet)
{
    m_keyMap = new DHashtable(kTableCapacity, kTableLoad);
    DObjectArrayPtr perAction;
    if (m_overrides)
        perAction = qev::lang::dcast<DObjectArray>(m_overrides->get(boxed(keySet)));

    for (const KeyAction& pair : defaultKeyActions()) {
        bool overridden = perAction && pair.action < perAction->length && (*perAction)[pair.action];
        if (!overridden)
            m_keyMap->put(boxed(pair.key), boxed(pair.action));
    }
    if (perAction) {
        for (int32_t action = 0; action < perAction->length; ++action) {
            DintArrayPtr keys = qev::lang::dcast<DintArray>((*perAction)[action]);
            if (!keys)
                continue;
            for (int32_t i = 0; i < keys->length; ++i)
                m_keyMap->put(boxed((*keys)[i]), boxed(action));
        }
    }
    m_keySet = keySet;
}

DStringPtr DCanvas::getKeyName(int32_t keyCode)
{
    return keyName(keyCode);
}

} // namespace qev::microedition::lcdui
