// The one thrown type of the framework. The class of an exception is a code whose bits encode its
// family, so one bit test catches a whole family. Exceptions are thrown as heap pointers; a catch
// site that does not throw the pointer on deletes it.
#pragma once

#include <cstdint>
#include <string_view>

namespace qev::lang {

struct DExceptionBase
{
    static constexpr int kMessageUnits = 124;

    int32_t code;
    char16_t message[kMessageUnits];

    // True for every member of the Exception family (which is every code the framework throws).
    bool isException() const { return (code & 0x4000000) != 0; }
    // The message, up to its end mark or the buffer's end.
    std::u16string_view text() const
    {
        size_t n = 0;
        while (n < kMessageUnits && message[n])
            ++n;
        return std::u16string_view(message, n);
    }
};

namespace ExceptionCode {
constexpr int32_t Exception = 0x4000000;
constexpr int32_t IOException = 0x6000000;
constexpr int32_t RuntimeException = 0x5000000;
constexpr int32_t IndexOutOfBoundsException = 0x5800000;
constexpr int32_t IllegalArgumentException = 0x5400000;
constexpr int32_t RecordStoreException = 0x4200000;
constexpr int32_t ClassNotFoundException = 0x4000001;
constexpr int32_t IllegalAccessException = 0x4000002;
constexpr int32_t InterruptedException = 0x4000004;
constexpr int32_t InstantiationException = 0x4000008;
constexpr int32_t MediaException = 0x4000010;
constexpr int32_t MIDletStateChangeException = 0x4000020;
constexpr int32_t VideoException = 0x4000040;
constexpr int32_t ConnectionNotFoundException = 0x6000001;
constexpr int32_t EOFException = 0x6000002;
constexpr int32_t InterruptedIOException = 0x6000004;
constexpr int32_t UnsupportedEncodingException = 0x6000008;
constexpr int32_t UTFDataFormatException = 0x6000010;
constexpr int32_t CertificateException = 0x6000020;
constexpr int32_t ArithmeticException = 0x5000001;
constexpr int32_t ArrayStoreException = 0x5000002;
constexpr int32_t ClassCastException = 0x5000004;
constexpr int32_t EmptyStackException = 0x5000008;
constexpr int32_t IllegalMonitorStateException = 0x5000010;
constexpr int32_t NegativeArraySizeException = 0x5000020;
constexpr int32_t NoSuchElementException = 0x5000040;
constexpr int32_t NullPointerException = 0x5000080;
constexpr int32_t SecurityException = 0x4100000;
constexpr int32_t IllegalStateException = 0x5000100;
constexpr int32_t ArrayIndexOutOfBoundsException = 0x5800001;
constexpr int32_t StringIndexOutOfBoundsException = 0x5800002;
constexpr int32_t IllegalThreadStateException = 0x5400001;
constexpr int32_t NumberFormatException = 0x5400002;
constexpr int32_t InvalidRecordIDException = 0x4200001;
constexpr int32_t RecordStoreFullException = 0x4200002;
constexpr int32_t RecordStoreNotFoundException = 0x4200004;
constexpr int32_t RecordStoreNotOpenException = 0x4200008;
} // namespace ExceptionCode

// Allocates an exception with the code and an empty message and throws the pointer.
[[noreturn]] void throwException(int32_t code);
// The same with a diagnostic message (ASCII, cut to fit), for errors on damaged input.
[[noreturn]] void throwException(int32_t code, const char* message);
// The same with a message of any characters, such as the name of a missing entry.
[[noreturn]] void throwException(int32_t code, std::u16string_view message);

// The class name of a code: the first table entry with exactly this code; otherwise the
// hexadecimal text of the code, in a static buffer that the next unknown code overwrites.
const char16_t* getExceptionName(int32_t code);

} // namespace qev::lang
