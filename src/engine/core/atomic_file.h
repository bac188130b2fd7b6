#pragma once
// Every file the system writes goes to a temporary name in the same folder and is renamed into
// place, so a crash never leaves a truncated file that a later run takes as good.
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

struct AtomicWriteOptions {
    // Permission bits of the new file, set exactly whatever the umask; none: 0644 less the umask.
    std::optional<mode_t> mode;
    // Flushes the data to the disk before the rename, so that after a power loss the target
    // holds the old or the new bytes, never an empty file. Costly: only for files that matter.
    bool durable = false;
    // Creates the target's missing parent folders; without, a missing folder is a failure.
    bool createFolders = true;
};

// Writes `bytes` to `target` atomically, creating missing parent folders (unless the options
// say otherwise). Returns false and
// sets `error` (when given) on failure; the previous file, if any, is then left unchanged.
bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                     std::string* error = nullptr, const AtomicWriteOptions& options = {});

// A unique temporary name beside `target` ("name.tmp-XXXXXX"); the caller renames it into place
// with CommitTempFile or removes it.
std::filesystem::path TempPathBeside(const std::filesystem::path& target);
bool CommitTempFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string* error = nullptr);

// Writes all of `bytes` to the open descriptor, writing again after a short write or an
// interrupted call; false (errno telling why) on the first real failure.
bool WriteAll(int fd, std::string_view bytes);

// Whole file; false when it cannot be read.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes);

}  // namespace engine
