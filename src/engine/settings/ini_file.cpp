#include "engine/settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>

#include "engine/core/atomic_file.h"
#include "engine/core/text_helpers.h"

namespace engine {
namespace {

// One lock per file for the whole process, keyed by the file's canonical path so that two
// spellings of one path share it.
std::shared_ptr<std::mutex> LockForFile(const std::filesystem::path& file) {
    static std::mutex registryLock;
    static std::map<std::filesystem::path, std::weak_ptr<std::mutex>> registry;
    std::error_code ec;
    std::filesystem::path key =
        std::filesystem::weakly_canonical(std::filesystem::absolute(file, ec), ec);
    if (ec || key.empty()) {
        key = std::filesystem::absolute(file, ec).lexically_normal();
    }
    std::lock_guard guard(registryLock);
    for (auto it = registry.begin(); it != registry.end();) {
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    }
    auto& slot = registry[key];
    auto lock = slot.lock();
    if (!lock) {
        lock = std::make_shared<std::mutex>();
        slot = lock;
    }
    return lock;
}

std::string ErrnoText(const std::string& what, const std::filesystem::path& file) {
    return what + " " + file.string() + ": " + std::strerror(errno);
}

}  // namespace

// ---- IniDocument ----

IniDocument::Line IniDocument::MakeLine(std::string text) {
    Line line;
    line.text = std::move(text);
    const std::string_view trimmed = Trim(line.text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        line.header = true;
        line.section = std::string(Trim(trimmed.substr(
            1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        return line;
    }
    if (trimmed.empty() || trimmed.front() == ';') {
        return line;
    }
    const auto equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
        line.key = std::string(Trim(trimmed.substr(0, equals)));
        line.isKey = !line.key.empty();
    }
    return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    if (text.starts_with(kUtf8Bom)) {
        document.byteOrderMark_ = true;
        text.remove_prefix(kUtf8Bom.size());
    }
    // Written back with CR LF when any line ended so.
    document.crlf_ = text.find("\r\n") != std::string_view::npos;
    for (std::string& line : SplitLines(text)) {
        document.lines_.push_back(MakeLine(std::move(line)));
    }
    return document;
}

std::string IniDocument::Serialize() const {
    std::string text;
    if (byteOrderMark_) {
        text += kUtf8Bom;
    }
    const std::string_view lineBreak = crlf_ ? "\r\n" : "\n";
    for (const auto& line : lines_) {
        text += line.text;
        text += lineBreak;
    }
    return text;
}

std::size_t IniDocument::FindKey(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.header) {
            inSection = SameText(line.section, section);
        } else if (inSection && line.isKey && SameText(line.key, key)) {
            return i;
        }
    }
    return std::string::npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const auto index = FindKey(section, key);
    if (index == std::string::npos) {
        return std::nullopt;
    }
    const std::string& text = lines_[index].text;
    return text.substr(text.find('=') + 1);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string newText(key);
    newText += '=';
    for (const char c : value) {
        newText += (c == '\r' || c == '\n') ? ' ' : c;
    }
    const auto index = FindKey(section, key);
    if (index != std::string::npos) {
        if (lines_[index].text == newText) {
            return false;
        }
        lines_[index] = MakeLine(std::move(newText));
        return true;
    }
    // After the last key line of the first section of that name, or right after its header.
    std::size_t insertAt = std::string::npos;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].header) {
            if (insertAt != std::string::npos) {
                break;
            }
            if (SameText(lines_[i].section, section)) {
                insertAt = i + 1;
            }
        } else if (insertAt != std::string::npos && lines_[i].isKey) {
            insertAt = i + 1;
        }
    }
    if (insertAt == std::string::npos) {
        lines_.push_back(MakeLine("[" + std::string(section) + "]"));
        insertAt = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  MakeLine(std::move(newText)));
    return true;
}

bool IniDocument::Delete(std::string_view section, std::string_view key) {
    bool removed = false;
    for (auto index = FindKey(section, key); index != std::string::npos;
         index = FindKey(section, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
        removed = true;
    }
    return removed;
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        if (!line.header) {
            continue;
        }
        bool known = false;
        for (const auto& name : names) {
            known = known || SameText(name, line.section);
        }
        if (!known) {
            names.push_back(line.section);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    bool inSection = false;
    for (const auto& line : lines_) {
        if (line.header) {
            inSection = SameText(line.section, section);
        } else if (inSection && line.isKey) {
            keys.push_back(line.key);
        }
    }
    return keys;
}

// ---- IniFile ----

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)), lock_(LockForFile(file_)) {}

IniDocument IniFile::ReadUnlocked() const {
    std::string bytes;
    if (!ReadFileBytes(file_, bytes)) {
        return IniDocument{};  // a missing or unreadable file holds no values
    }
    return IniDocument::Parse(bytes);
}

void IniFile::WriteUnlocked(const IniDocument& document) {
    std::error_code ec;
    if (file_.has_parent_path()) {
        std::filesystem::create_directories(file_.parent_path(), ec);
        if (ec) {
            throw IniWriteError("cannot create folder " + file_.parent_path().string() + ": " +
                                ec.message());
        }
    }
    // The file holds the proxy password: a new file is private, an existing one keeps its mode.
    mode_t mode = 0600;
    struct stat info {};
    if (::stat(file_.c_str(), &info) == 0) {
        if (::access(file_.c_str(), W_OK) != 0) {
            throw IniWriteError(ErrnoText("cannot write", file_));
        }
        mode = info.st_mode & 07777;
    }
    // Durable: the settings must survive a power loss right after they were changed.
    std::string error;
    if (!WriteFileAtomic(file_, document.Serialize(), &error, {.mode = mode, .durable = true})) {
        throw IniWriteError(error);
    }
}

IniDocument IniFile::ReadDocument() const {
    // No lock: every rewrite renames a complete file into place, so a read sees either the old
    // or the new file. Readers thus never hold up a writer.
    return ReadUnlocked();
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    return ReadDocument().Get(section, key);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    auto value = Read(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::lock_guard guard(*lock_);
    IniDocument document = ReadUnlocked();
    if (document.Set(section, key, value)) {
        WriteUnlocked(document);
    }
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) noexcept {
    try {
        std::lock_guard guard(*lock_);
        IniDocument document = ReadUnlocked();
        if (document.Delete(section, key)) {
            WriteUnlocked(document);
        }
    } catch (const std::exception&) {
        // Removing a key is best effort: the value then simply stays.
    }
}

}  // namespace engine
