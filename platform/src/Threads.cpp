#include "platform/threads.h"

#include "platform/HandleTable.h"
#include "platform/clock.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/ThreadFaults.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <time.h>

namespace {

using platform::HandleTable;
using platform::KernelObject;
using platform::KernelObjectType;

// One lock and one condition for every waitable object: waits are rare and short, and a single
// condition makes waits on threads, events, semaphores and mutexes uniform. std::condition_variable
// waits on the steady clock, which is CLOCK_MONOTONIC.
std::mutex& stateLock()
{
    static auto* m = new std::mutex;
    return *m;
}
std::condition_variable& stateChanged()
{
    static auto* c = new std::condition_variable;
    return *c;
}

std::atomic<DWORD> g_nextThreadId{1};
std::atomic<bool> g_mutexCreationFails{false};
std::atomic<bool> g_threadCreationFails{false};

// Per-thread record, also for threads the layer did not create (the main thread), so that mutex
// ownership and abandonment work for every caller.
struct ThreadState
{
    DWORD id = g_nextThreadId++;
    bool ended = false;
    DWORD suspendCount = 0;
    // Made by CreateThread. On the fake clock such a thread follows the time the others let
    // pass; every other thread (the program's main thread, a test) drives it.
    bool layerThread = false;
};

struct ThreadStateHolder
{
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
    ~ThreadStateHolder()
    {
        std::lock_guard<std::mutex> g(stateLock());
        state->ended = true;
        stateChanged().notify_all();
    }
};

thread_local std::shared_ptr<ThreadStateHolder> t_self;

std::shared_ptr<ThreadState> self()
{
    if (!t_self)
        t_self = std::make_shared<ThreadStateHolder>();
    return t_self->state;
}

struct Waitable : KernelObject
{
    explicit Waitable(KernelObjectType t) : KernelObject(t) {}
    // Thread: signalled once ended. Event: the flag. Semaphore: count > 0. Mutex: unowned.
    bool signalled = false;
    bool manualReset = true;
    LONG count = 0;
    LONG maximum = 0;
    std::shared_ptr<ThreadState> owner;
    DWORD recursion = 0;
    // Thread only.
    std::shared_ptr<ThreadState> thread;
    DWORD exitCode = STILL_ACTIVE;
    int priority = THREAD_PRIORITY_NORMAL;
};

std::map<std::u16string, std::weak_ptr<Waitable>>& names()
{
    static auto* n = new std::map<std::u16string, std::weak_ptr<Waitable>>;
    return *n;
}

// Blocks (with the state lock held) while the calling thread's suspend count is non-zero.
void honourSuspend(std::unique_lock<std::mutex>& lock, ThreadState& me)
{
    stateChanged().wait(lock, [&] { return me.suspendCount == 0; });
}

std::shared_ptr<Waitable> findWaitable(HANDLE h)
{
    for (auto t : {KernelObjectType::Thread, KernelObjectType::Event, KernelObjectType::Semaphore,
                   KernelObjectType::Mutex}) {
        if (auto o = HandleTable::find(h, t))
            return std::static_pointer_cast<Waitable>(o);
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

HANDLE createNamed(KernelObjectType type, LPCWSTR name, std::shared_ptr<Waitable> fresh)
{
    if (name && *name) {
        std::lock_guard<std::mutex> g(stateLock());
        auto& slot = names()[std::u16string(name)];
        if (auto existing = slot.lock()) {
            if (existing->type() != type) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            SetLastError(ERROR_ALREADY_EXISTS);
            return HandleTable::add(existing);
        }
        slot = fresh;
    }
    SetLastError(ERROR_SUCCESS);
    return HandleTable::add(fresh);
}

} // namespace

HANDLE CreateThread(void*, DWORD, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    LPDWORD threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (g_threadCreationFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto object = std::make_shared<Waitable>(KernelObjectType::Thread);
    object->thread = std::make_shared<ThreadState>();
    object->thread->layerThread = true;
    object->thread->suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
    try {
        std::thread([object, start, parameter] {
            t_self = std::make_shared<ThreadStateHolder>();
            t_self->state = object->thread;
            {
                // The start gate of a thread created suspended.
                std::unique_lock<std::mutex> lock(stateLock());
                honourSuspend(lock, *object->thread);
            }
            DWORD code = start(parameter);
            std::lock_guard<std::mutex> g(stateLock());
            object->exitCode = code;
            object->signalled = true;
            stateChanged().notify_all();
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId)
        *threadId = object->thread->id;
    return HandleTable::add(object);
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    auto t = HandleTable::get<Waitable>(thread, KernelObjectType::Thread);
    if (!t)
        return FALSE;
    // Real-time scheduling needs privileges a desktop process rarely has; the request is kept
    // and otherwise ignored.
    t->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    auto t = HandleTable::get<Waitable>(thread, KernelObjectType::Thread);
    return t ? t->priority : 0x7FFFFFFF;
}

DWORD SuspendThread(HANDLE thread)
{
    auto t = HandleTable::get<Waitable>(thread, KernelObjectType::Thread);
    if (!t)
        return 0xFFFFFFFFu;
    std::lock_guard<std::mutex> g(stateLock());
    return t->thread->suspendCount++;
}

DWORD ResumeThread(HANDLE thread)
{
    auto t = HandleTable::get<Waitable>(thread, KernelObjectType::Thread);
    if (!t)
        return 0xFFFFFFFFu;
    std::lock_guard<std::mutex> g(stateLock());
    DWORD previous = t->thread->suspendCount;
    if (previous > 0 && --t->thread->suspendCount == 0)
        stateChanged().notify_all();
    return previous;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    auto t = HandleTable::get<Waitable>(thread, KernelObjectType::Thread);
    if (!t || !exitCode)
        return FALSE;
    std::lock_guard<std::mutex> g(stateLock());
    *exitCode = t->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId()
{
    return self()->id;
}

void InitializeCriticalSection(CRITICAL_SECTION* cs)
{
    cs->impl = new std::recursive_mutex;
}

void EnterCriticalSection(CRITICAL_SECTION* cs)
{
    static_cast<std::recursive_mutex*>(cs->impl)->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* cs)
{
    static_cast<std::recursive_mutex*>(cs->impl)->unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* cs)
{
    delete static_cast<std::recursive_mutex*>(cs->impl);
    cs->impl = nullptr;
}

HANDLE CreateEventW(void*, BOOL manualReset, BOOL initialState, LPCWSTR name)
{
    auto e = std::make_shared<Waitable>(KernelObjectType::Event);
    e->manualReset = manualReset != FALSE;
    e->signalled = initialState != FALSE;
    return createNamed(KernelObjectType::Event, name, e);
}

BOOL SetEvent(HANDLE event)
{
    auto e = HandleTable::get<Waitable>(event, KernelObjectType::Event);
    if (!e)
        return FALSE;
    std::lock_guard<std::mutex> g(stateLock());
    e->signalled = true;
    stateChanged().notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    auto e = HandleTable::get<Waitable>(event, KernelObjectType::Event);
    if (!e)
        return FALSE;
    std::lock_guard<std::mutex> g(stateLock());
    e->signalled = false;
    return TRUE;
}

HANDLE CreateSemaphoreW(void*, LONG initialCount, LONG maximumCount, LPCWSTR name)
{
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto s = std::make_shared<Waitable>(KernelObjectType::Semaphore);
    s->count = initialCount;
    s->maximum = maximumCount;
    return createNamed(KernelObjectType::Semaphore, name, s);
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount)
{
    auto s = HandleTable::get<Waitable>(semaphore, KernelObjectType::Semaphore);
    if (!s)
        return FALSE;
    std::lock_guard<std::mutex> g(stateLock());
    if (releaseCount <= 0 || releaseCount > s->maximum - s->count) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    if (previousCount)
        *previousCount = s->count;
    s->count += releaseCount;
    stateChanged().notify_all();
    return TRUE;
}

HANDLE CreateMutexW(void*, BOOL initialOwner, LPCWSTR name)
{
    if (g_mutexCreationFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto m = std::make_shared<Waitable>(KernelObjectType::Mutex);
    HANDLE h = createNamed(KernelObjectType::Mutex, name, m);
    if (h && initialOwner && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::lock_guard<std::mutex> g(stateLock());
        m->owner = self();
        m->recursion = 1;
    }
    return h;
}

BOOL ReleaseMutex(HANDLE mutex)
{
    auto m = HandleTable::get<Waitable>(mutex, KernelObjectType::Mutex);
    if (!m)
        return FALSE;
    auto me = self();
    std::lock_guard<std::mutex> g(stateLock());
    if (m->owner != me) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (--m->recursion == 0) {
        m->owner.reset();
        stateChanged().notify_all();
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    auto o = findWaitable(object);
    if (!o)
        return WAIT_FAILED;
    auto me = self();
    std::unique_lock<std::mutex> lock(stateLock());
    honourSuspend(lock, *me);
    DWORD result = WAIT_TIMEOUT;
    // Returns true when the object was taken, setting result.
    auto take = [&]() -> bool {
        switch (o->type()) {
        case KernelObjectType::Thread:
            if (!o->signalled)
                return false;
            break;
        case KernelObjectType::Event:
            if (!o->signalled)
                return false;
            if (!o->manualReset)
                o->signalled = false;
            break;
        case KernelObjectType::Semaphore:
            if (o->count == 0)
                return false;
            --o->count;
            break;
        default: // mutex
            if (o->owner == me) {
                ++o->recursion;
            } else if (!o->owner || o->owner->ended) {
                bool abandoned = o->owner != nullptr;
                o->owner = me;
                o->recursion = 1;
                result = abandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
                return true;
            } else {
                return false;
            }
        }
        result = WAIT_OBJECT_0;
        return true;
    };
    auto ready = [&] { return me->suspendCount == 0 && take(); };
    if (milliseconds == INFINITE) {
        stateChanged().wait(lock, ready);
    } else if (!platform::clockIsFake()) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        if (!stateChanged().wait_until(lock, deadline, ready))
            result = WAIT_TIMEOUT;
    } else if (me->layerThread) {
        // Wakes on every signal and on every move of the clock.
        const int64_t deadline = platform::FakeClock::peekMicros() + int64_t(milliseconds) * 1000;
        stateChanged().wait(
            lock, [&] { return ready() || platform::FakeClock::peekMicros() >= deadline; });
    } else if (!ready() && milliseconds > 0) {
        // A driving thread does not block: the wait's time passes at once, and whatever the
        // other threads did meanwhile is looked at once more.
        lock.unlock();
        platform::FakeClock::step(milliseconds);
        lock.lock();
        ready();
    }
    honourSuspend(lock, *me);
    return result;
}

void Sleep(DWORD milliseconds)
{
    auto me = self();
    {
        std::unique_lock<std::mutex> lock(stateLock());
        honourSuspend(lock, *me);
    }
    platform::waitMillis(milliseconds);
    std::unique_lock<std::mutex> lock(stateLock());
    honourSuspend(lock, *me);
}

namespace platform {

void waitMillis(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (clockIsFake()) {
        auto me = self();
        if (!me->layerThread) {
            FakeClock::step(milliseconds);
            return;
        }
        const int64_t deadline = FakeClock::peekMicros() + int64_t(milliseconds) * 1000;
        std::unique_lock<std::mutex> lock(stateLock());
        stateChanged().wait(lock, [&] { return FakeClock::peekMicros() >= deadline; });
        return;
    }
    timespec ts{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

void wakeClockWaiters()
{
    std::lock_guard<std::mutex> g(stateLock());
    stateChanged().notify_all();
}

void setMutexCreationFails(bool fails)
{
    g_mutexCreationFails = fails;
}

void setThreadCreationFails(bool fails)
{
    g_threadCreationFails = fails;
}

} // namespace platform
