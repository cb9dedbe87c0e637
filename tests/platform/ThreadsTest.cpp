#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

std::atomic<int> g_runs{0};

DWORD countRun(LPVOID p)
{
    ++g_runs;
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(p));
}

DWORD spinWaiting(LPVOID p)
{
    // Counts passes through a layer wait until the stop event is set.
    auto* args = static_cast<std::pair<HANDLE, std::atomic<int>*>*>(p);
    while (WaitForSingleObject(args->first, 1) == WAIT_TIMEOUT)
        ++*args->second;
    return 0;
}

DWORD takeMutexAndEnd(LPVOID p)
{
    WaitForSingleObject(static_cast<HANDLE>(p), INFINITE);
    return 0;
}

} // namespace

TEST(Threads, SuspendedCreationRunsOnlyAfterResume)
{
    g_runs = 0;
    DWORD id = 0;
    HANDLE t =
        CreateThread(nullptr, 0, countRun, reinterpret_cast<LPVOID>(42), CREATE_SUSPENDED, &id);
    ASSERT_NE(nullptr, t);
    EXPECT_NE(0u, id);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(t, 20));
    EXPECT_EQ(0, g_runs.load());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(STILL_ACTIVE, code);
    EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_HIGHEST));
    EXPECT_EQ(1u, ResumeThread(t));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, INFINITE));
    EXPECT_EQ(1, g_runs.load());
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(42u, code);
    EXPECT_EQ(0u, ResumeThread(t));
    EXPECT_TRUE(CloseHandle(t));
    EXPECT_EQ(0xFFFFFFFFu, ResumeThread(t));
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(t, 0));
}

TEST(Threads, SuspendCountIsHonouredAtWaits)
{
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> passes{0};
    std::pair<HANDLE, std::atomic<int>*> args{stop, &passes};
    HANDLE t = CreateThread(nullptr, 0, spinWaiting, &args, 0, nullptr);
    while (passes < 3)
        Sleep(1);
    EXPECT_EQ(0u, SuspendThread(t));
    EXPECT_EQ(1u, SuspendThread(t));
    Sleep(10);
    int frozen = passes;
    Sleep(30);
    EXPECT_LE(passes.load(), frozen + 1); // at most the wait it was in
    EXPECT_EQ(2u, ResumeThread(t));
    Sleep(20);
    EXPECT_LE(passes.load(), frozen + 1); // still suspended once
    EXPECT_EQ(1u, ResumeThread(t));
    while (passes < frozen + 3)
        Sleep(1);
    SetEvent(stop);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, INFINITE));
    CloseHandle(t);
    CloseHandle(stop);
}

TEST(Threads, EventsAndSemaphores)
{
    HANDLE autoEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(autoEvent, 0));
    SetEvent(autoEvent);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(autoEvent, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(autoEvent, 0)); // cleared by the wait
    HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(manual, 0));
    ResetEvent(manual);
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(manual, 30));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));

    HANDLE sem = CreateSemaphoreW(nullptr, 0, 2, nullptr);
    LONG prev = -1;
    EXPECT_TRUE(ReleaseSemaphore(sem, 1, &prev));
    EXPECT_EQ(0, prev);
    EXPECT_TRUE(ReleaseSemaphore(sem, 1, &prev));
    EXPECT_FALSE(ReleaseSemaphore(sem, 1, &prev));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TOO_MANY_POSTS), GetLastError());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sem, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sem, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(sem, 3));
    EXPECT_EQ(nullptr, CreateSemaphoreW(nullptr, 3, 2, nullptr));
    for (HANDLE h : {autoEvent, manual, sem})
        CloseHandle(h);
}

TEST(Threads, MutexOwnershipNamesAndAbandonment)
{
    HANDLE m = CreateMutexW(nullptr, FALSE, u"dsmsaccess");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    HANDLE again = CreateMutexW(nullptr, FALSE, u"dsmsaccess");
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_NE(m, again);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, INFINITE));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(again, 0)); // same object, recursion
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_FALSE(ReleaseMutex(m)); // not owned any more

    // A thread that ends holding the mutex abandons it.
    HANDLE t = CreateThread(nullptr, 0, takeMutexAndEnd, m, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    EXPECT_EQ(WAIT_ABANDONED, WaitForSingleObject(m, 100));
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 0));
    EXPECT_TRUE(ReleaseMutex(m));
    for (HANDLE h : {m, again, t})
        CloseHandle(h);
    // Once every handle is gone the name is free again.
    HANDLE fresh = CreateMutexW(nullptr, TRUE, u"dsmsaccess");
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    EXPECT_TRUE(ReleaseMutex(fresh));
    CloseHandle(fresh);
}

TEST(Threads, CriticalSectionsAreReentrant)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    DeleteCriticalSection(&cs);
    EXPECT_EQ(nullptr, cs.impl);
}
