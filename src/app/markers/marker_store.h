#pragma once
// The marker table and its file: the user's own map markers (name, position, note) in the
// order they were added, stored after every change as an XML data packet (marker_packet.h).
// A file that cannot be read is moved aside and reported, and never overwritten by an empty
// table.
#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "marker_packet.h"

namespace app {

class MarkerStore {
  public:
    explicit MarkerStore(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

    const std::filesystem::path& FileName() const { return fileName_; }

    // Loads the table from the file; a missing file keeps the table empty. Returns the message
    // for the user when the file could not be read: it is then renamed beside itself and the
    // table starts empty; when even the rename fails, the table is never saved over it.
    QString LoadMarkerFromFile();
    // Writes the whole table to the file atomically. False with `error` set when it cannot.
    bool SaveMarkerToFile(QString* error = nullptr) const;

    // A row whose name equals `name` ignoring case.
    bool MarkerExists(const QString& name) const;
    // The position of the row with that id; when there is none, lat and lng are left as they are.
    void MarkerPosition(std::int64_t id, double& lat, double& lng) const;

    const std::vector<MarkerRecord>& Records() const { return rows_; }
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    // Index of the row with that id.
    std::optional<std::size_t> Locate(std::int64_t id) const;
    // Edits the row with the record's id, else appends one. Texts are cut to their column
    // widths; a position that is not finite is refused (false).
    bool Post(const MarkerRecord& record);
    // Deletes the row with that id; false when there is none.
    bool Delete(std::int64_t id);

    // Where a file that could not be read went (empty when none was moved).
    const std::filesystem::path& SetAsidePath() const { return setAside_; }

  private:
    std::filesystem::path fileName_;
    std::vector<MarkerRecord> rows_;
    std::filesystem::path setAside_;
    // The file could not be read and could not be moved aside: saving would lose it.
    bool keepFile_ = false;
};

// The documents folder, "Vantorel/Data", and the digest of the table's (empty) component name.
std::filesystem::path MarkerFileName(const std::filesystem::path& documentsFolder);
// The marker file of the user running the program, below engine::DocumentsFolderFromEnvironment().
std::filesystem::path DefaultMarkerFileName();

}  // namespace app
