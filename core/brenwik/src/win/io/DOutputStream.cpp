#include "io/DOutputStream.h"

namespace qev::io {

void DOutputStream::write(qev::lang::DbyteArrayPtr b)
{
    int32_t length = b->length;
    write(std::move(b), 0, length);
}

void DOutputStream::flush() {}

void DOutputStream::close() {}

} // namespace qev::io
