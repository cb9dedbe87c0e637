// Immutable UTF-16 string. Lengths and indexes count UTF-16 units; the buffer is always
// 0-terminated. In concatenations a null operand reads as "null".
#pragma once

#include "lang/DObject.h"

#include <cstdint>
#include <utility>

namespace qev::lang {

class DbyteArray;
class DStringPtr;

class DString : public DObject
{
  public:
    // Copies the units up to the terminator; a null text gives the empty string.
    explicit DString(const char16_t* text);
    // One unit per byte, each byte sign-extended (0x80..0xFF become 0xFF80..0xFFFF).
    explicit DString(const char* text);
    DString(const char16_t* units, int32_t length);
    ~DString() override;

    static DStringPtr concat(DStringPtr first, DStringPtr second);
    static DStringPtr concat(DStringPtr string, const char16_t* text);
    static DStringPtr concat(const char16_t* text, DStringPtr string);
    static DStringPtr concat(const char16_t* first, const char16_t* second);
    static DStringPtr concat(DStringPtr string, int32_t value);

    DStringPtr toString() override;
    int32_t hashCode() override;
    bool equals(DObjectPtr other) override;
    bool equals(DStringPtr other) const;
    bool equals(const char16_t* text) const;
    // Non-const twins, so that a call on a non-const string picks the string comparison
    // without a conversion competing with the virtual one.
    bool equals(DStringPtr other);
    bool equals(const char16_t* text);

    int32_t length() const { return m_length; }
    // The 0-terminated units; valid while the string lives.
    const char16_t* chars() const { return m_chars; }
    char16_t charAt(int32_t index) const;
    DStringPtr substring(int32_t begin, int32_t end) const;
    DStringPtr substring(int32_t begin) const;
    int32_t indexOf(char16_t ch) const;
    int32_t indexOf(char16_t ch, int32_t from) const;
    int32_t indexOf(DStringPtr str) const;
    int32_t indexOf(DStringPtr str, int32_t from) const;
    int32_t lastIndexOf(char16_t ch) const;
    bool startsWith(DStringPtr prefix) const;
    bool endsWith(DStringPtr suffix) const;
    int32_t compareTo(DStringPtr other) const;
    DStringPtr trim();
    DStringPtr toLowerCase() const;
    DStringPtr toUpperCase() const;
    DStringPtr replace(char16_t from, char16_t to);
    DPtr<DbyteArray> getBytes() const;

  private:
    struct Adopt
    {
    };
    DString(char16_t* buffer, int32_t length, Adopt);
    static DStringPtr join(const char16_t* a, int32_t lengthA, const char16_t* b, int32_t lengthB);

    int32_t m_length;
    char16_t* m_chars;
    int32_t m_hash = 0;
};

class DStringPtr : public DPtr<DString>
{
  public:
    using DPtr<DString>::DPtr;
    using DPtr<DString>::operator=;
    DStringPtr() = default;
    DStringPtr(const DPtr<DString>& other) : DPtr<DString>(other) {}
    DStringPtr(DPtr<DString>&& other) noexcept : DPtr<DString>(std::move(other)) {}
    // A new string from a literal.
    DStringPtr(const char16_t* text);
    DStringPtr& operator=(const char16_t* text);

    DStringPtr operator+(const DStringPtr& other) const;
    DStringPtr operator+(const char16_t* text) const;
    DStringPtr operator+(int32_t value) const;
    DStringPtr& operator+=(const DStringPtr& other);
    // Unit-by-unit equality with a text; false on a null pointer.
    bool equals(const char16_t* text) const;
};

DStringPtr operator+(const char16_t* text, const DStringPtr& string);

template <> struct DPtrFor<DString>
{
    using type = DStringPtr;
};

} // namespace qev::lang
