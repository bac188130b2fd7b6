#pragma once
// Reads GPX files or texts into a GPX document and writes a document as a GPX 1.1 file. The
// element and time helpers are shared with the NMEA and KML readers, which derive from it.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "geodata/gpx/gpx_model.h"
#include "geodata/gpx/gpx_options.h"

namespace geodata {

// A file that cannot be written (or, for the NMEA reader, read).
class EFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TGPXFile {
  public:
    TGPXFile() = default;
    TGPXFile(const TGPXFile&) = delete;
    TGPXFile& operator=(const TGPXFile&) = delete;
    virtual ~TGPXFile() = default;

    TGPX* GPXd = nullptr;  // the document worked on; not owned
    std::string FileName;
    bool Loaded = false;
    bool Modified = false;
    std::vector<std::string> mLog;
    TGPXOptions GPXOptions;

    // Add to the lists the document already holds. A file or text that cannot be parsed is
    // logged and leaves the document unchanged.
    void ImportGPXFile(const std::filesystem::path& fileName);
    void ImportGPXString(std::string_view gpxString);
    // Writes the document atomically; raises EFileError when the file cannot be written.
    void ExportGPX(const std::filesystem::path& fileName);
    // Appends the other reader's document, log and state to this one's.
    void CopyFrom(const TGPXFile& other);

    // Text of the last child element of that name (names without case); empty when none.
    static std::string GetLastNodeText(pugi::xml_node parent, std::string_view nodeName);
    // Inner XML of the last child element of that name, each element in it declaring the
    // namespaces it uses (its whole XML when its start tag has attributes other than namespace
    // declarations); empty when none.
    static std::string GetExtensionNodeContent(pugi::xml_node parent, std::string_view nodeName);

    // UTC date-time of an ISO 8601 text; a component out of range is logged and reads as 0.
    TDateTime ISO8601ToDateTime(std::string_view value);
    static std::string DateTimeToGPXTime(TDateTime value);

    static std::string XMLise(std::string_view s);
    // XMLise plus the double quotation mark, for attribute values.
    static std::string XMLiseAttribute(std::string_view s);

    std::string WriteText(std::string_view text, std::string_view tag, int tabCount,
                          bool ext = false) const;
    std::string WriteInt(std::int64_t value, std::string_view tag, std::int64_t defaultValue,
                         int tabCount) const;
    std::string WriteDouble(double value, std::string_view tag, double defaultValue,
                            int tabCount) const;
    std::string WriteTime(TDateTime value, std::string_view tag, TDateTime defaultValue,
                          int tabCount) const;

    std::string ExportGPXWPTList(const TGPXwptList& wayptList) const;
    std::string ExportGPXRTEList(const TGPXrteList& routeList) const;
    std::string ExportGPXTRKList(const TGPXtrkList& trackList) const;

    const std::string& LineBreak() const { return lineBreak_; }
    const std::string& IndentText() const { return indent_; }

  protected:
    virtual void AddLogLine(std::string line) { mLog.push_back(std::move(line)); }
    // Line break and indentation of the element writers; each writer sets them for its file.
    void SetLayout(std::string lineBreak, std::string indent) {
        lineBreak_ = std::move(lineBreak);
        indent_ = std::move(indent);
    }
    std::string Indent(int count) const;

  private:
    void LoadBuffer(const std::string& bytes, const std::string& failureContext);
    void ReadDocument(const pugi::xml_document& document);
    void ReadRootAttributes(pugi::xml_node gpx);
    void ReadMetadata(pugi::xml_node node);
    void ReadPerson(pugi::xml_node node, TGPXperson& person);
    void ReadEmail(pugi::xml_node node, TGPXemail& email);
    void ReadCopyright(pugi::xml_node node, TGPXcopyright& copyright);
    void ReadLink(pugi::xml_node node, TGPXLink& link);
    void ReadBounds(pugi::xml_node node, TGPXbounds& bounds);
    void ReadWaypoint(pugi::xml_node node, TGPXwptList& list);
    void ReadRoute(pugi::xml_node node);
    void ReadTrack(pugi::xml_node node);
    void ReadExtensions(pugi::xml_node node);
    // Name, comment, link, number, type, line style and extensions of a route or a track.
    template <class Line>
    void ReadLineFields(pugi::xml_node node, Line& line, std::string& type);

    std::string WriteMetadata(const TGPXmetadata& metadata) const;
    std::string WriteLink(const TGPXLink& link, int tabCount) const;
    std::string WriteWaypoint(const TGPXwpt& point, std::string_view tag, int tabCount) const;
    std::string WriteRoute(const TGPXrte& route) const;
    std::string WriteTrack(const TGPXtrk& track) const;
    std::string WriteLineExtensions(const TGPX_StyleLine& style,
                                    const std::string& extensions) const;
    std::string RootAttributes() const;

    std::string lineBreak_ = "\r\n";
    std::string indent_ = "\t";
};

}  // namespace geodata
