#pragma once
// Reads the placemarks of a KML file into a GPX document (points as waypoints, line strings as
// tracks) and writes a document as KML 2.2 with one folder each for waypoints, routes, tracks.
#include <filesystem>
#include <string>
#include <vector>

#include "geodata/gpx/gpx_file.h"

namespace geodata {

class TKMLFile : public TGPXFile {
  public:
    std::vector<std::string> mLog;  // the KML log, apart from the GPX reader's

    // Adds the file's point placemarks to the waypoints and its line strings as tracks. A
    // file that cannot be parsed is logged and leaves the document unchanged.
    void ImportKML(const std::filesystem::path& fileName);
    // Writes the document atomically; raises EFileError when the file cannot be written.
    void ExportKML(const std::filesystem::path& fileName);

  protected:
    void AddLogLine(std::string line) override { mLog.push_back(std::move(line)); }

  private:
    void ReadPlacemark(pugi::xml_node placemark);
    std::string WriteKMLMetadata(const TGPXmetadata& metadata, int n) const;
    std::string WriteWaypointFolder(const TGPXwptList& list, int n) const;
    std::string WriteWaypointPlacemark(const TGPXwpt& point, int n) const;
    std::string WriteRouteFolder(const TGPXrteList& list, int n) const;
    std::string WriteRoutePlacemark(const TGPXrte& route, int n) const;
    std::string WriteTrackFolders(const TGPXtrkList& list, int n) const;
    std::string WriteTrackFolder(const TGPXtrk& track, int n) const;
    std::string WriteAtomLink(const TGPXLink& link, int n) const;
    std::string LineColor(const TGPX_StyleLine& style) const;
};

}  // namespace geodata
