#include "lang/DObject.h"

#include "lang/DExceptionBase.h"
#include "lang/DString.h"
#include "lang/NumberText.h"

namespace qev::lang {

void throwNullPointerException(const char*, const char*, int)
{
    throwException(ExceptionCode::NullPointerException);
}

void throwClassCastException()
{
    throwException(ExceptionCode::ClassCastException);
}

namespace detail {

void retain(DObject* object)
{
    if (object)
        ++object->m_refCount;
}

// A count of 0 or below belongs to an object nobody took: it is left alone.
void release(DObject* object)
{
    if (!object)
        return;
    int32_t count = object->m_refCount;
    if (count > 0) {
        object->m_refCount = count - 1;
        if (count == 1)
            delete object;
    }
}

bool equalsObject(DObject* left, DObject* right)
{
    return left->equals(DObjectPtr(right));
}

} // namespace detail

void DObject::finalize() {}

const char* DObject::getClassName()
{
    return "DObject";
}

DObject::~DObject() = default;

DStringPtr DObject::toString()
{
    char16_t hex[NumberText::kBufferUnits];
    NumberText::formatHex(hashCode(), hex);
    return DString::concat(u"DObject@", hex);
}

int32_t DObject::hashCode()
{
    return static_cast<int32_t>(reinterpret_cast<uintptr_t>(this) & 0x7FFFFFFF);
}

bool DObject::equals(DObjectPtr other)
{
    return other.get() == this;
}

DObjectPtr DObject::getNullRef()
{
    return DObjectPtr();
}

} // namespace qev::lang
