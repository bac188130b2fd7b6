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
    // Flushes the data to the disk before the rename and the folder after it, so that after a
    // power loss the target holds the old or the new bytes, never an empty file. Costly: only
    // for files that matter.
    bool durable = false;
    // Creates the target's missing parent folders; without, a missing folder is a failure.
    bool createFolders = true;
};

// Writes `bytes` to `target` atomically, creating missing parent folders (unless the options
// say otherwise). Returns false and sets `error` (when given) on failure; the previous file,
// if any, is then left unchanged, except when only the durable folder flush failed after the
// rename.
bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                     std::string* error = nullptr, const AtomicWriteOptions& options = {});

// A unique temporary name beside `target` ("name.tmp-XXXXXX"); the caller renames it into place
// with CommitTempFile or removes it.
std::filesystem::path TempPathBeside(const std::filesystem::path& target);
bool CommitTempFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string* error = nullptr);
// As CommitTempFile, with the file flushed to the disk before the rename and the folder after
// it: once it returns true, a power loss leaves the new file under the target's name.
bool CommitTempFileDurably(const std::filesystem::path& temp, const std::filesystem::path& target,
                           std::string* error = nullptr);

// Flushes a file's data, or a folder's entries, to the disk.
bool SyncFile(const std::filesystem::path& file, std::string* error = nullptr);
bool SyncFolder(const std::filesystem::path& folder, std::string* error = nullptr);

// A finished file that a library writes by name (a database, a raster): it is built under a
// temporary name beside the final one ("name.tmp-XXXXXXXX", created empty here) and renamed
// into place by Commit. Until then the file is locked, so that RemoveLeftoverTemporaries of
// another writer leaves it alone; without Commit it is removed.
class PendingFile {
  public:
    explicit PendingFile(std::filesystem::path target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The temporary name to write to; empty when it could not be created (`error()` says why).
    const std::filesystem::path& path() const { return temp_; }
    const std::string& error() const { return error_; }
    // Flushes the file, renames it over the target and flushes the folder.
    bool Commit(std::string* error = nullptr);
    // Removes the temporary file now.
    void Discard();

  private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::string error_;
    int lock_ = -1;
};

// Removes files that writers killed before their rename left beside `target`: regular files
// named exactly as TempPathBeside names them for this target, unless a live PendingFile holds
// one. Returns how many were removed.
int RemoveLeftoverTemporaries(const std::filesystem::path& target);

// Writes all of `bytes` to the open descriptor, writing again after a short write or an
// interrupted call; false (errno telling why) on the first real failure.
bool WriteAll(int fd, std::string_view bytes);

// Whole file; false when it cannot be read.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes);

}  // namespace engine
