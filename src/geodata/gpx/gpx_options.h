#pragma once
// Options of the GPX and KML readers and writers. Only GPX_Style, Compress, DeleteNullData and
// PreserveXMLNS change what the readers and writers do; the others are carried as data.
#include <cstdint>
#include <string>

namespace geodata {

struct TGPXOptions {
    bool GPX_Style = false;  // write the line style of routes and tracks
    bool Compress = false;   // no line breaks and no indentation
    std::int32_t FileHistory = 8;
    std::int32_t ClipBoardStyle = 0;
    std::uint8_t ProxyType = 0;
    std::string ProxyHttpIP, ProxyHttpPort, ProxySocksIP, ProxySocksPort;
    std::uint8_t ElevationDatabase = 2;
    std::string GeoNamesUsername, User_Agent;
    bool IgnoreXMLVersion = false;
    bool KeepXMLCRLF = false;
    bool DeleteNullData = false;  // a dilution of precision of 0 counts as absent
    bool ClearUndoBeforeSave = false;
    bool SortbydatebeforeRemovingDuplicate = false;
    bool PreserveXMLNS = false;  // write the namespace attributes read from the source file

    void CopyFrom(const TGPXOptions& options) { *this = options; }
};

}  // namespace geodata
