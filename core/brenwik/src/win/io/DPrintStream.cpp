#include "io/DPrintStream.h"

namespace qev::io {

void DPrintStream::finalize()
{
    close();
}

void DPrintStream::write(qev::lang::DbyteArrayPtr b, int32_t off, int32_t len)
{
    if (m_out)
        m_out->write(std::move(b), off, len);
}

void DPrintStream::write(qev::lang::DbyteArrayPtr b)
{
    if (m_out)
        m_out->write(std::move(b));
}

void DPrintStream::write(int32_t b)
{
    if (m_out)
        m_out->write(b);
}

void DPrintStream::flush()
{
    if (m_out)
        m_out->flush();
}

void DPrintStream::close()
{
    if (m_out)
        m_out->close();
}

} // namespace qev::io
