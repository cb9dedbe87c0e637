#include "StderrCapture.h"

#include <gtest/gtest.h>

namespace testsupport {

StderrCapture::StderrCapture()
{
    testing::internal::CaptureStderr();
}

StderrCapture::~StderrCapture()
{
    text();
}

const std::string& StderrCapture::text()
{
    if (m_open) {
        m_text = testing::internal::GetCapturedStderr();
        m_open = false;
    }
    return m_text;
}

} // namespace testsupport
