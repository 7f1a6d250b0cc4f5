// Shared helpers for the unit tests: a temporary program folder and a fresh program state.
#pragma once

#include <string>

namespace zv::test {

// A temporary folder removed with everything in it when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::string path_;
};

// Every global of the program back to its state before start-up, and the headless platform
// pointed at programFolder.
void resetProgram(const std::string& programFolder = "");

} // namespace zv::test

namespace zv::test {

// Writes the two data files into folder and runs start-up on it.
void startProgram(const TempFolder& folder, const std::string& menuFile,
                  const std::string& catalogue = "");

} // namespace zv::test
