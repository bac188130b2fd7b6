#pragma once
// The receiver's raw log: every received line appended to one file per local calendar day,
// "YYYYMMDD.nmea", in the log folder. Appending whole lines is safe against a crash (at worst
// the last line is cut), so the log is not rewritten through a temporary file.
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace geodata {

class NmeaDayLog {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // `folder` is created with its parents on the first line. Without a clock the system clock
    // is used.
    explicit NmeaDayLog(std::filesystem::path folder, Clock clock = {});

    // Appends the line and CR LF. Throws std::system_error when the folder or the file cannot
    // be written.
    void SaveFile(std::string_view line);

    // The file that a line received now goes to.
    std::filesystem::path CurrentFile() const;

    const std::filesystem::path& Folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
    Clock clock_;
};

// The log folder inside the folder where the program keeps the files it writes.
std::filesystem::path NmeaLogFolder(const std::filesystem::path& dataFolder);

// Text-file helpers: create (or truncate) a file; append a text to an existing file.
// Both throw std::system_error on failure.
void CreateTextFile(const std::filesystem::path& file);
void AppendTextLine(const std::filesystem::path& file, std::string_view text);

}  // namespace geodata
