#include "lang/DExceptionBase.h"

#include "lang/NumberText.h"

#include <algorithm>
#include <cstring>

namespace qev::lang {

namespace {

struct CodeName
{
    int32_t code;
    const char16_t* name;
};

// Scanned in this order: the family roots come first.
constexpr CodeName kCodeTable[] = {
    {0x4000000, u"Exception"},
    {0x6000000, u"IOException"},
    {0x5000000, u"RuntimeException"},
    {0x5800000, u"IndexOutOfBoundsException"},
    {0x5400000, u"IllegalArgumentException"},
    {0x4200000, u"RecordStoreException"},
    {0x4000001, u"ClassNotFoundException"},
    {0x4000002, u"IllegalAccessException"},
    {0x4000004, u"InterruptedException"},
    {0x4000008, u"InstantiationException"},
    {0x4000010, u"MediaException"},
    {0x4000020, u"MIDletStateChangeException"},
    {0x4000040, u"VideoException"},
    {0x6000001, u"ConnectionNotFoundException"},
    {0x6000002, u"EOFException"},
    {0x6000004, u"InterruptedIOException"},
    {0x6000008, u"UnsupportedEncodingException"},
    {0x6000010, u"UTFDataFormatException"},
    {0x6000020, u"CertificateException"},
    {0x5000001, u"ArithmeticException"},
    {0x5000002, u"ArrayStoreException"},
    {0x5000004, u"ClassCastException"},
    {0x5000008, u"EmptyStackException"},
    {0x5000010, u"IllegalMonitorStateException"},
    {0x5000020, u"NegativeArraySizeException"},
    {0x5000040, u"NoSuchElementException"},
    {0x5000080, u"NullPointerException"},
    {0x4100000, u"SecurityException"},
    {0x5000100, u"IllegalStateException"},
    {0x5800001, u"ArrayIndexOutOfBoundsException"},
    {0x5800002, u"StringIndexOutOfBoundsException"},
    {0x5400001, u"IllegalThreadStateException"},
    {0x5400002, u"NumberFormatException"},
    {0x4200001, u"InvalidRecordIDException"},
    {0x4200002, u"RecordStoreFullException"},
    {0x4200004, u"RecordStoreNotFoundException"},
    {0x4200008, u"RecordStoreNotOpenException"},
};

char16_t g_unknownName[NumberText::kBufferUnits];

} // namespace

void throwException(int32_t code)
{
    auto* e = new DExceptionBase;
    e->code = code;
    e->message[0] = 0;
    throw e;
}

void throwException(int32_t code, const char* message)
{
    auto* e = new DExceptionBase;
    e->code = code;
    size_t n = message ? std::strlen(message) : 0;
    if (n > DExceptionBase::kMessageUnits - 1)
        n = DExceptionBase::kMessageUnits - 1;
    for (size_t i = 0; i < n; ++i)
        e->message[i] = static_cast<unsigned char>(message[i]);
    e->message[n] = 0;
    throw e;
}

void throwException(int32_t code, std::u16string_view message)
{
    auto* e = new DExceptionBase;
    e->code = code;
    const size_t n = std::min<size_t>(message.size(), DExceptionBase::kMessageUnits - 1);
    message.copy(e->message, n);
    e->message[n] = 0;
    throw e;
}

const char16_t* getExceptionName(int32_t code)
{
    for (const CodeName& row : kCodeTable) {
        if (row.code == code)
            return row.name;
    }
    NumberText::formatHex(code, g_unknownName);
    return g_unknownName;
}

} // namespace qev::lang
