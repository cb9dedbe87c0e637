// Another process holding a records database locked for as long as the test likes: readers and
// writers alike (an exclusive lock in exclusive locking mode), until the object is destroyed.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

class LockingProcess
{
  public:
    explicit LockingProcess(const std::string& path);
    ~LockingProcess();
    LockingProcess(const LockingProcess&) = delete;
    LockingProcess& operator=(const LockingProcess&) = delete;

    // True once the other process holds the lock.
    bool locked() const { return m_locked; }

  private:
    pid_t m_child = -1;
    int m_release = -1;
    bool m_locked = false;
};

} // namespace testsupport
