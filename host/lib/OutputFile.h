// A file the scripted runner writes into its output folder. It is written under a temporary name
// beside its place and renamed onto it when complete: a link, or another name of a file, at that
// place is replaced, never written through, and a run cut short leaves no half-written output.
#pragma once

#include <cstdio>
#include <string>

namespace host {

class OutputFile
{
  public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Null when the temporary file could not be made.
    FILE* get() const { return m_file; }
    // Flushes, closes and puts the file in its place; false (nothing replaced) on any failure.
    bool commit();

  private:
    std::string m_path;
    std::string m_temporary;
    FILE* m_file = nullptr;
};

} // namespace host
