#pragma once
// The ini files of the system: "[Section]" headers and "Key=Value" lines. Section and key names
// compare without regard to letter case, as profile files do; values are kept exactly as they
// stand after the "=". Comments, blank lines and unknown lines survive a rewrite.
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// A write that the file system refused.
class IniWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The parsed text of one ini file, with every line kept in order.
class IniDocument {
  public:
    static IniDocument Parse(std::string_view text);
    std::string Serialize() const;

    // The value of the first line of that key in a section of that name.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the first line of the key or appends one to the section (appending the section
    // when missing). Line breaks in the value become blanks so it cannot add lines of its own.
    // Returns whether the text changed.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key in every section of that name; whether any was removed.
    bool Delete(std::string_view section, std::string_view key);

    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

  private:
    struct Line {
        std::string text;     // the line without its line break
        std::string section;  // header name for a header line
        std::string key;      // key name for a key line
        bool header = false;
        bool isKey = false;
    };
    static Line MakeLine(std::string text);
    // Index of the first line of the key, or npos.
    std::size_t FindKey(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
    bool crlf_ = false;
};

// One ini file on disk. Every read and write goes to the file; writers on the same file (by its
// canonical path) share one lock, so a read-modify-write never loses another's change, and each
// rewrite replaces the file atomically, so a reader never sees a half-written file.
class IniFile {
  public:
    explicit IniFile(std::filesystem::path file);

    const std::filesystem::path& FileName() const { return file_; }

    // The stored value, or nothing when the file, the section or the key is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Writes one value, creating the file and its folder when missing; throws IniWriteError
    // when the file cannot be written (a read-only file, a folder that cannot be created).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key; never reports an error.
    void DeleteKey(std::string_view section, std::string_view key) noexcept;

    // The whole document, read under the lock.
    IniDocument ReadDocument() const;

  private:
    IniDocument ReadUnlocked() const;
    void WriteUnlocked(const IniDocument& document);

    std::filesystem::path file_;
    std::shared_ptr<std::mutex> lock_;  // serialises read-modify-write cycles
};

}  // namespace engine
