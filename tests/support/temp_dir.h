#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it on scope exit.
#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);
// Writes bytes to a file, creating its folders.
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace testsupport
