// Intrusive smart pointer of the framework. One word: the object pointer, holding one counted
// reference when non-null. Passing by value is a counted copy that the callee's parameter
// releases; a null dereference throws NullPointerException instead of crashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace qev::lang {

class DObject;

// Throws NullPointerException with an empty message. The arguments describe the failed access
// for a debugger; they are not reported.
[[noreturn]] void throwNullPointerException(const char* className, const char* header, int line);
[[noreturn]] void throwClassCastException();

namespace detail {
void retain(DObject* object);
void release(DObject* object);
bool equalsObject(DObject* left, DObject* right);
} // namespace detail

template <class T> class DPtr
{
  public:
    using element_type = T;

    DPtr() noexcept : m_p(nullptr) {}
    DPtr(std::nullptr_t) noexcept : m_p(nullptr) {}
    DPtr(T* p) : m_p(p) { detail::retain(asObject(p)); }
    DPtr(const DPtr& other) : m_p(other.m_p) { detail::retain(asObject(m_p)); }
    DPtr(DPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    template <class U>
    requires std::is_convertible_v<U*, T*> DPtr(const DPtr<U>& other) : m_p(other.get())
    {
        detail::retain(asObject(m_p));
    }
    ~DPtr() { release(); }

    // Retain the new object first, then release the old one: assigning the held object is safe.
    DPtr& operator=(T* p)
    {
        detail::retain(asObject(p));
        T* old = m_p;
        m_p = p;
        detail::release(asObject(old));
        return *this;
    }
    DPtr& operator=(const DPtr& other) { return *this = other.m_p; }
    DPtr& operator=(DPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = m_p;
            m_p = other.m_p;
            other.m_p = nullptr;
            detail::release(asObject(old));
        }
        return *this;
    }
    DPtr& operator=(std::nullptr_t)
    {
        release();
        return *this;
    }

    // Clears the holder before the count drops, so a destructor that reaches it sees null.
    void release()
    {
        T* p = m_p;
        m_p = nullptr;
        detail::release(asObject(p));
    }
    void reset() { release(); }

    T* get() const noexcept { return m_p; }
    bool isNull() const noexcept { return m_p == nullptr; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    T* operator->() const { return checked(); }
    T& operator*() const { return *checked(); }
    // Element access of array objects through the pointer.
    template <class I> decltype(auto) operator[](I index) const { return (*checked())[index]; }

    bool operator==(std::nullptr_t) const noexcept { return m_p == nullptr; }

  private:
    static DObject* asObject(T* p) { return p; }
    T* checked() const
    {
        if (!m_p)
            throwNullPointerException(typeid(T).name(), __FILE__, __LINE__);
        return m_p;
    }

    T* m_p;
};

// Same object: true; exactly one null: false; otherwise the left object's equals().
template <class T, class U> bool operator==(const DPtr<T>& left, const DPtr<U>& right)
{
    if (static_cast<const void*>(left.get()) == static_cast<const void*>(right.get()))
        return true;
    if (!left.get() || !right.get())
        return false;
    return detail::equalsObject(left.get(), right.get());
}

// The smart-pointer type that holds a T (specialised where a class has a richer pointer type,
// such as DStringPtr).
template <class T> struct DPtrFor
{
    using type = DPtr<T>;
};

// Checked downcast: null stays null, an object of another class throws ClassCastException.
template <class T, class U> typename DPtrFor<T>::type dcast(const DPtr<U>& p)
{
    using Result = typename DPtrFor<T>::type;
    if (!p.get())
        return Result();
    T* t = dynamic_cast<T*>(p.get());
    if (!t)
        throwClassCastException();
    return Result(t);
}

using DObjectPtr = DPtr<DObject>;

} // namespace qev::lang
