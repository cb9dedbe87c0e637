// Interfaces: a second table of operations inside an object (for example an enumeration). The
// sub-object knows its owner; an interface pointer keeps the owner alive with one count.
#pragma once

#include "lang/DObject.h"

namespace qev::lang {

class DInterface
{
  public:
    explicit DInterface(DObject* owner) : m_owner(owner) {}
    virtual ~DInterface() = default;
    DInterface(const DInterface&) = delete;
    DInterface& operator=(const DInterface&) = delete;

    DObject* getOwner() const { return m_owner; }

  private:
    DObject* m_owner;
};

template <class I> class DInterfacePtr
{
  public:
    DInterfacePtr() noexcept : m_iface(nullptr) {}
    DInterfacePtr(I* iface) : m_iface(iface) { retainOwner(); }
    DInterfacePtr(const DInterfacePtr& other) : m_iface(other.m_iface) { retainOwner(); }
    DInterfacePtr(DInterfacePtr&& other) noexcept : m_iface(other.m_iface)
    {
        other.m_iface = nullptr;
    }
    ~DInterfacePtr() { release(); }

    DInterfacePtr& operator=(DInterfacePtr other) noexcept
    {
        I* old = m_iface;
        m_iface = other.m_iface;
        other.m_iface = old;
        return *this;
    }

    void release()
    {
        I* iface = m_iface;
        m_iface = nullptr;
        if (iface)
            detail::release(iface->getOwner());
    }

    I* get() const noexcept { return m_iface; }
    bool isNull() const noexcept { return m_iface == nullptr; }
    I* operator->() const
    {
        if (!m_iface)
            throwNullPointerException(typeid(I).name(), __FILE__, __LINE__);
        return m_iface;
    }

  private:
    void retainOwner()
    {
        if (m_iface)
            detail::retain(m_iface->getOwner());
    }

    I* m_iface;
};

} // namespace qev::lang
