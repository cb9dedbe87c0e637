// The error output of a stretch of a test, captured and always given back: a test that fails
// between the start and the read leaves no capture behind for the next test.
#pragma once

#include <string>

namespace testsupport {

class StderrCapture
{
  public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // What was written since the capture started; ends the capture (later calls give the same).
    const std::string& text();

  private:
    bool m_open = true;
    std::string m_text;
};

} // namespace testsupport
