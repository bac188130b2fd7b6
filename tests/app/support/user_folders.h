#pragma once
// Points HOME and the XDG base folders at folders below `root` for the object's life (the
// documents folder then follows HOME), so that nothing a test builds reads or writes the
// real user's settings, tasks, markers, caches or logs. The old values come back afterwards.
#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace testmainwindow {

class TempUserFolders {
  public:
    explicit TempUserFolders(const std::filesystem::path& root) {
        const std::pair<const char*, std::filesystem::path> folders[] = {
            {"HOME", root},
            {"XDG_CONFIG_HOME", root / "config"},
            {"XDG_DATA_HOME", root / "data"},
            {"XDG_STATE_HOME", root / "state"},
            {"XDG_CACHE_HOME", root / "cache"},
        };
        for (const auto& [name, folder] : folders) {
            Save(name);
            qputenv(name, QByteArray::fromStdString(folder.string()));
        }
        Save("XDG_DOCUMENTS_DIR");
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    ~TempUserFolders() {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    TempUserFolders(const TempUserFolders&) = delete;
    TempUserFolders& operator=(const TempUserFolders&) = delete;

  private:
    void Save(const char* name) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name)
                                      ? std::optional<QByteArray>(qgetenv(name))
                                      : std::nullopt);
    }

    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

}  // namespace testmainwindow
