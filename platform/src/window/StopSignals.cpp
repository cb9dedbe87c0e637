#include "platform/window/StopSignals.h"

#include "platform/window/MessageWake.h"

#include <SDL.h>

#include <atomic>
#include <csignal>

namespace platform {

namespace {

std::atomic<unsigned> g_requests{0};

void onStopSignal(int)
{
    g_requests.fetch_add(1);
    wakeMessageWait();
}

} // namespace

void catchStopSignals()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

unsigned stopRequests()
{
    return g_requests.load();
}

} // namespace platform
