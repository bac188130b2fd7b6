#pragma once
// Points the program's log at a test's own folder for the life of the object, so that what a
// test provokes is written there (and can be read back), never into the user's state folder.
#include <filesystem>

#include "engine/log/logger.h"

namespace testsupport {

class ScopedLogFolder {
  public:
    explicit ScopedLogFolder(std::filesystem::path folder) {
        engine::SetLogFolder(std::move(folder));
    }
    ~ScopedLogFolder() { engine::SetLogFolder({}); }
    ScopedLogFolder(const ScopedLogFolder&) = delete;
    ScopedLogFolder& operator=(const ScopedLogFolder&) = delete;
};

}  // namespace testsupport
