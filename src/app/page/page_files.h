#pragma once
// The map pages' files, copied from the program's resources into a folder of this process
// alone (created with owner-only access, removed with the object), so that no other process
// or user can swap or race the files the browser loads.
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <set>

namespace app {

// Where the pages are kept in the resources.
inline constexpr char kPageResourceRoot[] = ":/page";
inline constexpr char kGooglePageName[] = "googlemaps.html";
inline constexpr char kBaiduPageName[] = "baidumaps.html";
inline constexpr char kMapFilesName[] = "mapfiles";

class PageFiles {
  public:
    // `sourceRoot` is a resource path or a folder holding the two pages and "mapfiles".
    explicit PageFiles(QString sourceRoot = QLatin1String(kPageResourceRoot));

    // Copies the whole source tree into the private folder, each file replacing its old copy
    // at once, and then removes every other file there (what an earlier unpack left). False
    // when the folder cannot be made or a file cannot be copied.
    bool Unpack();
    // Deletes the two page files where they exist, and with deleteAll the "mapfiles" folder
    // too. Throws std::runtime_error when a page file cannot be deleted.
    void DeleteMapAPIFile(bool deleteAll);

    // Empty until the private folder exists.
    std::filesystem::path Folder() const;
    std::filesystem::path GoogleMapHtml() const { return Folder() / kGooglePageName; }
    std::filesystem::path BaiduMapHtml() const { return Folder() / kBaiduPageName; }
    std::filesystem::path MapFilesDir() const { return Folder() / kMapFilesName; }

  private:
    bool EnsureFolder();
    void RemoveAllBut(const std::set<std::filesystem::path>& kept);

    QString sourceRoot_;
    std::unique_ptr<QTemporaryDir> folder_;
};

}  // namespace app
