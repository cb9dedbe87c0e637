#include "LockingProcess.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

LockingProcess::LockingProcess(const std::string& path)
{
    int ready[2], release[2];
    if (pipe(ready) != 0)
        return;
    if (pipe(release) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    m_child = fork();
    if (m_child == 0) {
        close(ready[0]);
        close(release[1]);
        sqlite3* db = nullptr;
        char done = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                            sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;",
                                         nullptr, nullptr, nullptr) == SQLITE_OK
                        ? 1
                        : 0;
        (void)!write(ready[1], &done, 1);
        char byte = 0;
        (void)!read(release[0], &byte, 1); // until the test lets go
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    m_release = release[1];
    char done = 0;
    m_locked = m_child > 0 && read(ready[0], &done, 1) == 1 && done == 1;
    close(ready[0]);
}

LockingProcess::~LockingProcess()
{
    if (m_release >= 0)
        close(m_release);
    if (m_child > 0)
        waitpid(m_child, nullptr, 0);
}

} // namespace testsupport
