#include "lang/DString.h"

#include "lang/DExceptionBase.h"
#include "lang/NumberText.h"
#include "platform/crt.h"

#include <cstring>

namespace qev::lang {

namespace {

const char16_t kNull[] = u"null";

int32_t unitLength(const char16_t* text)
{
    int32_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

char16_t* allocateUnits(int32_t length)
{
    auto* buffer = new char16_t[static_cast<size_t>(length) + 1];
    buffer[length] = 0;
    return buffer;
}

void checkNotNull(const DString* s)
{
    if (!s)
        throwNullPointerException("DString", __FILE__, __LINE__);
}

} // namespace

DString::DString(const char16_t* text)
{
    if (!text)
        text = u"";
    m_length = unitLength(text);
    m_chars = allocateUnits(m_length);
    std::memcpy(m_chars, text, static_cast<size_t>(m_length) * sizeof(char16_t));
}

DString::DString(const char* text)
{
    if (!text)
        text = "";
    m_length = static_cast<int32_t>(std::strlen(text));
    m_chars = allocateUnits(m_length);
    for (int32_t i = 0; i < m_length; ++i)
        m_chars[i] = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(text[i])));
}

DString::DString(const char16_t* units, int32_t length)
{
    m_length = length > 0 ? length : 0;
    m_chars = allocateUnits(m_length);
    if (m_length > 0)
        std::memcpy(m_chars, units, static_cast<size_t>(m_length) * sizeof(char16_t));
}

DString::DString(char16_t* buffer, int32_t length, Adopt) : m_length(length), m_chars(buffer) {}

DString::~DString()
{
    delete[] m_chars;
}

DStringPtr DString::join(const char16_t* a, int32_t lengthA, const char16_t* b, int32_t lengthB)
{
    int32_t length = lengthA + lengthB;
    char16_t* buffer = allocateUnits(length);
    std::memcpy(buffer, a, static_cast<size_t>(lengthA) * sizeof(char16_t));
    std::memcpy(buffer + lengthA, b, static_cast<size_t>(lengthB) * sizeof(char16_t));
    return DStringPtr(new DString(buffer, length, Adopt{}));
}

DStringPtr DString::concat(DStringPtr first, DStringPtr second)
{
    const char16_t* a = first ? first->m_chars : kNull;
    const char16_t* b = second ? second->m_chars : kNull;
    return join(a, first ? first->m_length : 4, b, second ? second->m_length : 4);
}

DStringPtr DString::concat(DStringPtr string, const char16_t* text)
{
    if (!text)
        text = kNull;
    const char16_t* a = string ? string->m_chars : kNull;
    return join(a, string ? string->m_length : 4, text, unitLength(text));
}

DStringPtr DString::concat(const char16_t* text, DStringPtr string)
{
    if (!text)
        text = kNull;
    const char16_t* b = string ? string->m_chars : kNull;
    return join(text, unitLength(text), b, string ? string->m_length : 4);
}

DStringPtr DString::concat(const char16_t* first, const char16_t* second)
{
    if (!first)
        first = kNull;
    if (!second)
        second = kNull;
    return join(first, unitLength(first), second, unitLength(second));
}

DStringPtr DString::concat(DStringPtr string, int32_t value)
{
    char16_t digits[NumberText::kBufferUnits];
    int32_t n = NumberText::formatDecimal(value, digits);
    const char16_t* a = string ? string->m_chars : kNull;
    return join(a, string ? string->m_length : 4, digits, n);
}

DStringPtr DString::toString()
{
    return DStringPtr(this);
}

int32_t DString::hashCode()
{
    if (m_hash == 0 && m_length > 0) {
        uint32_t h = 0;
        for (int32_t i = 0; i < m_length; ++i)
            h = 31 * h + m_chars[i];
        m_hash = static_cast<int32_t>(h);
    }
    return m_hash;
}

bool DString::equals(DObjectPtr other)
{
    if (!other)
        throwNullPointerException("DObject", __FILE__, __LINE__);
    DStringPtr text = other->toString();
    checkNotNull(text.get());
    return equals(text->m_chars);
}

bool DString::equals(DStringPtr other)
{
    return static_cast<const DString*>(this)->equals(other);
}

bool DString::equals(const char16_t* text)
{
    return static_cast<const DString*>(this)->equals(text);
}

bool DString::equals(DStringPtr other) const
{
    return other && compareTo(other) == 0;
}

bool DString::equals(const char16_t* text) const
{
    if (!text)
        return false;
    int32_t i = 0;
    for (; m_chars[i] != 0; ++i) {
        if (m_chars[i] != text[i])
            return false;
    }
    return text[i] == 0;
}

char16_t DString::charAt(int32_t index) const
{
    if (index < 0 || index >= m_length)
        throwException(ExceptionCode::StringIndexOutOfBoundsException);
    return m_chars[index];
}

DStringPtr DString::substring(int32_t begin, int32_t end) const
{
    if (begin < 0 || end > m_length || begin > end)
        throwException(ExceptionCode::StringIndexOutOfBoundsException);
    return DStringPtr(new DString(m_chars + begin, end - begin));
}

DStringPtr DString::substring(int32_t begin) const
{
    return substring(begin, m_length);
}

int32_t DString::indexOf(char16_t ch) const
{
    return indexOf(ch, 0);
}

int32_t DString::indexOf(char16_t ch, int32_t from) const
{
    if (from < 0)
        from = 0;
    for (int32_t i = from; i < m_length; ++i) {
        if (m_chars[i] == ch)
            return i;
    }
    return -1;
}

int32_t DString::indexOf(DStringPtr str) const
{
    return indexOf(str, 0);
}

int32_t DString::indexOf(DStringPtr str, int32_t from) const
{
    checkNotNull(str.get());
    if (from < 0)
        from = 0;
    if (from > m_length)
        return -1;
    int32_t n = str->m_length;
    for (int32_t i = from; i + n <= m_length; ++i) {
        if (std::memcmp(m_chars + i, str->m_chars, static_cast<size_t>(n) * sizeof(char16_t)) == 0)
            return i;
    }
    return -1;
}

int32_t DString::lastIndexOf(char16_t ch) const
{
    for (int32_t i = m_length - 1; i >= 0; --i) {
        if (m_chars[i] == ch)
            return i;
    }
    return -1;
}

bool DString::startsWith(DStringPtr prefix) const
{
    checkNotNull(prefix.get());
    int32_t n = prefix->m_length;
    return n <= m_length &&
           std::memcmp(m_chars, prefix->m_chars, static_cast<size_t>(n) * sizeof(char16_t)) == 0;
}

bool DString::endsWith(DStringPtr suffix) const
{
    checkNotNull(suffix.get());
    int32_t n = suffix->m_length;
    return n <= m_length && std::memcmp(m_chars + m_length - n, suffix->m_chars,
                                        static_cast<size_t>(n) * sizeof(char16_t)) == 0;
}

int32_t DString::compareTo(DStringPtr other) const
{
    checkNotNull(other.get());
    const char16_t* a = m_chars;
    const char16_t* b = other->m_chars;
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    if (*a == *b)
        return 0;
    return *a < *b ? -1 : 1;
}

DStringPtr DString::trim()
{
    int32_t begin = 0;
    int32_t end = m_length;
    while (begin < end && m_chars[begin] <= 0x20)
        ++begin;
    while (end > begin && m_chars[end - 1] <= 0x20)
        --end;
    if (begin == 0 && end == m_length)
        return DStringPtr(this);
    return DStringPtr(new DString(m_chars + begin, end - begin));
}

// The C library's wide case functions convert a copy in place, with their full case tables.
DStringPtr DString::toLowerCase() const
{
    DStringPtr copy(new DString(m_chars, m_length));
    _wcslwr(copy->m_chars);
    return copy;
}

DStringPtr DString::toUpperCase() const
{
    DStringPtr copy(new DString(m_chars, m_length));
    _wcsupr(copy->m_chars);
    return copy;
}

DStringPtr DString::replace(char16_t from, char16_t to)
{
    if (m_length == 0)
        return DStringPtr(this);
    auto* copy = new DString(m_chars, m_length);
    for (int32_t i = 0; i < m_length; ++i) {
        if (copy->m_chars[i] == from)
            copy->m_chars[i] = to;
    }
    return DStringPtr(copy);
}

// --- DStringPtr ---

DStringPtr::DStringPtr(const char16_t* text) : DPtr<DString>(new DString(text)) {}

DStringPtr& DStringPtr::operator=(const char16_t* text)
{
    DPtr<DString>::operator=(new DString(text));
    return *this;
}

DStringPtr DStringPtr::operator+(const DStringPtr& other) const
{
    return DString::concat(*this, other);
}

DStringPtr DStringPtr::operator+(const char16_t* text) const
{
    return DString::concat(*this, text);
}

DStringPtr DStringPtr::operator+(int32_t value) const
{
    return DString::concat(*this, value);
}

DStringPtr& DStringPtr::operator+=(const DStringPtr& other)
{
    *this = DString::concat(*this, other);
    return *this;
}

bool DStringPtr::equals(const char16_t* text) const
{
    return get() && get()->equals(text);
}

DStringPtr operator+(const char16_t* text, const DStringPtr& string)
{
    return DString::concat(text, string);
}

} // namespace qev::lang
