// The process-wide table of kernel-object handles (files, mappings, threads, events, semaphores,
// mutexes). Handles are small tagged numbers, never 0 or INVALID_HANDLE_VALUE; a call with a
// closed handle or a handle of another kind fails with ERROR_INVALID_HANDLE instead of crashing.
#pragma once

#include "platform/wintypes.h"

#include <memory>

namespace platform {

enum class KernelObjectType { File, FileMapping, Thread, Event, Semaphore, Mutex };

class KernelObject
{
  public:
    explicit KernelObject(KernelObjectType type) : m_type(type) {}
    virtual ~KernelObject() = default;
    KernelObjectType type() const { return m_type; }

  private:
    KernelObjectType m_type;
};

class HandleTable
{
  public:
    static HANDLE add(std::shared_ptr<KernelObject> object);
    // The object behind h when it is open and of the given type; otherwise null, with
    // ERROR_INVALID_HANDLE as the last error.
    static std::shared_ptr<KernelObject> find(HANDLE h, KernelObjectType type);
    // Removes h from the table; the object lives on while someone still holds it.
    static bool remove(HANDLE h);
    static size_t openCount();

    template <class T> static std::shared_ptr<T> get(HANDLE h, KernelObjectType type)
    {
        return std::static_pointer_cast<T>(find(h, type));
    }
};

} // namespace platform
