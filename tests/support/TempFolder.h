// A fresh temporary folder per test, removed with everything in it when the test ends.
#pragma once

#include <string>

namespace testsupport {

class TempFolder
{
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // Writes a file below the folder (creating sub-folders) and returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

  private:
    std::string m_path;
};

} // namespace testsupport
