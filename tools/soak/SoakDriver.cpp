#include "SoakDriver.h"

#include "GameLevels.h"

#include "GameEngine.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"
#include "platform/clock.h"
#include "platform/testing/FakeClock.h"
#include "platform/windows.h"

#include <array>
#include <atomic>

namespace soak {

namespace {

// Arrows, action, soft keys (also as the application buttons), the keypad digits, star and hash.
constexpr std::array<unsigned, 22> kKeys = {
    VK_UP,   VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_ESCAPE, VK_F1, VK_F1 + 1,
    VK_APP1, VK_APP2, VK_APP3, VK_APP4,  '0',       '1',       '2',   '3',
    '4',     '5',     '6',     '7',      '8',       '9'};
std::atomic<int64_t> begun{0};
std::atomic<const char*> screenAtPass{"(none)"};
constexpr int64_t kWarmSteps = 60000 / SoakDriver::kStepMillis;

} // namespace

SoakDriver::SoakDriver(uint64_t seed, int64_t totalSteps, platform::HeadlessBackend& backend,
                       SoakFigures& figures)
    : m_random(seed), m_totalSteps(totalSteps), m_backend(backend), m_figures(figures)
{
}

void SoakDriver::startRun()
{
    m_plan.clear();
    m_lastPresents = 0;
    m_lastFrameMillis = platform::monotonicMillis();
    m_active = true;
    m_hung = false;
}

int SoakDriver::uniform(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

unsigned SoakDriver::randomKey()
{
    return kKeys[static_cast<size_t>(uniform(0, static_cast<int>(kKeys.size()) - 1))];
}

void SoakDriver::idle(int passes)
{
    for (int i = 0; i < passes; ++i)
        m_plan.emplace_back();
}

// Down on one pass, up `gap` passes later, then one quiet pass.
void SoakDriver::press(unsigned key, int gap)
{
    m_plan.push_back({{Input::Kind::KeyDown, key}});
    idle(gap - 1);
    m_plan.push_back({{Input::Kind::KeyUp, key}});
    idle(1);
}

void SoakDriver::plan()
{
    const int choice = uniform(0, 99);
    if (choice < 40) {
        press(randomKey(), 1);
    } else if (choice < 52) {
        // A held key, as for steering or charging.
        press(randomKey(), uniform(2, 120));
    } else if (choice < 58) {
        // A held key that the desktop repeats.
        const unsigned key = randomKey();
        m_plan.push_back({{Input::Kind::KeyDown, key}});
        for (int i = uniform(1, 20); i > 0; --i) {
            idle(uniform(0, 3));
            m_plan.push_back({{Input::Kind::KeyRepeat, key}});
        }
        m_plan.push_back({{Input::Kind::KeyUp, key}});
    } else if (choice < 70) {
        // A stylus tap, sometimes outside the screen.
        const int x = uniform(-8, gamelib::screenWidth + 8);
        const int y = uniform(-8, gamelib::screenHeight + 8);
        m_plan.push_back({{Input::Kind::PointerDown, 0, x, y}});
        idle(uniform(0, 6));
        m_plan.push_back({{Input::Kind::PointerUp, 0, x, y}});
    } else if (choice < 80) {
        // The player looks away.
        idle(uniform(1, 400));
    } else if (choice < 85) {
        // The hidden level select: hash, star, hash and two digits, from 00 (no level) up to
        // the brick-breaker's last round, so that every level of every game gets chosen.
        ++m_figures.levelSelects;
        for (unsigned key : {unsigned(VK_APP3), unsigned(VK_APP2), unsigned(VK_APP3)})
            press(key, 1);
        const int level = uniform(0, kLastLevel);
        press(static_cast<unsigned>('0' + level / 10), 1);
        press(static_cast<unsigned>('0' + level % 10), 1);
    } else if (choice < 88) {
        // Another window takes the focus for a while.
        ++m_figures.deactivations;
        m_plan.push_back({{Input::Kind::Deactivate}});
        idle(uniform(1, 200));
        m_plan.push_back({{Input::Kind::Activate}});
    } else {
        // Back out towards the main menu and pick an entry: this is how games get switched.
        for (int i = uniform(1, 4); i > 0; --i) {
            press(VK_ESCAPE, 1);
            idle(uniform(0, 40));
        }
        for (int i = uniform(0, 5); i > 0; --i)
            press(VK_DOWN, 1);
        press(VK_RETURN, 1);
        idle(uniform(40, 400));
    }
}

void SoakDriver::feed(const Input& input)
{
    CGameEngine* engine = CGameEngine::instance();
    HWND window = engine ? engine->window() : nullptr;
    using Event = platform::NativeEvent;
    switch (input.kind) {
    case Input::Kind::KeyDown:
    case Input::Kind::KeyUp:
    case Input::Kind::KeyRepeat:
        ++m_figures.keyEvents;
        m_backend.injectKey(window, input.key, input.kind != Input::Kind::KeyUp,
                            input.kind == Input::Kind::KeyRepeat);
        break;
    case Input::Kind::PointerDown:
        ++m_figures.taps;
        m_backend.injectMouse(window, Event::Kind::MouseDown, input.x, input.y, true);
        break;
    case Input::Kind::PointerUp:
        m_backend.injectMouse(window, Event::Kind::MouseUp, input.x, input.y, false);
        break;
    case Input::Kind::Activate:
    case Input::Kind::Deactivate: {
        Event e;
        e.window = window;
        e.kind =
            input.kind == Input::Kind::Activate ? Event::Kind::Activate : Event::Kind::Deactivate;
        m_backend.inject(e);
        // Time without the focus is not time without frames.
        m_active = input.kind == Input::Kind::Activate;
        m_lastFrameMillis = platform::monotonicMillis();
        break;
    }
    }
}

int64_t SoakDriver::passesBegun()
{
    return begun.load();
}

const char* SoakDriver::screenAtLastPass()
{
    return screenAtPass.load();
}

void SoakDriver::beforePass(long pass)
{
    screenAtPass = gamelib::currentScreen ? gamelib::currentScreen->getClassName() : "(none)";
    ++begun;
    if (pass > 0)
        platform::FakeClock::step(kStepMillis);
    if (m_plan.empty())
        plan();
    const Pass inputs = std::move(m_plan.front());
    m_plan.pop_front();
    for (const Input& input : inputs)
        feed(input);
}

bool SoakDriver::afterPass(long)
{
    ++m_figures.steps;
    if (m_figures.steps == kWarmSteps)
        m_figures.rssWarmKb = residentKb();
    m_lastScreen = gamelib::currentScreen ? gamelib::currentScreen->getClassName() : "(none)";
    ++m_figures.screens[m_lastScreen];
    if (const auto level = currentGameLevel())
        m_figures.gameLevels[level->first].insert(level->second);
    if (gamelib::levelJumpFlag)
        m_figures.levels.insert(gamelib::levelJumpNumber);

    const int64_t now = platform::monotonicMillis();
    CGameEngine* engine = CGameEngine::instance();
    const int presents = engine ? m_backend.presentCount(engine->window()) : 0;
    if (presents != m_lastPresents) {
        m_lastPresents = presents;
        m_lastFrameMillis = now;
    } else if (m_active && now - m_lastFrameMillis >= kHangMillis) {
        m_hung = true;
        return false;
    }
    return !done();
}

} // namespace soak
