// Arbitrary bytes through the typed reads of the data streams and the number parser: every
// outcome must be a value or a framework exception, never a crash.
#include "io/DByteArrayInputStream.h"
#include "io/DDataInputStream.h"
#include "lang/DInteger.h"

#include <cstring>
#include <string>

using namespace qev::lang;
using namespace qev::io;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    DbyteArrayPtr bytes(new DbyteArray(static_cast<int32_t>(size)));
    if (size > 0)
        std::memcpy(bytes->getData(), data, size);
    DDataInputStreamPtr in(new DDataInputStream(DInputStreamPtr(new DByteArrayInputStream(bytes))));
    try {
        for (int i = 0; i < 64; ++i) {
            switch (in->read() & 3) {
            case 0:
                in->readUTF();
                break;
            case 1:
                in->readInt();
                break;
            case 2:
                in->readUnsignedShort();
                break;
            default:
                in->skip(in->readByte());
            }
        }
    } catch (DExceptionBase* e) {
        delete e;
    }
    std::u16string text(data, data + size);
    for (int radix : {10, 16}) {
        try {
            DInteger::parseInt(DStringPtr(text.c_str()), radix);
        } catch (DExceptionBase* e) {
            delete e;
        }
    }
    return 0;
}
