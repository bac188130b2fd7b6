#pragma once
// The GPS receiver monitor without its window parts: it follows the port's state, cuts the
// received characters into lines, turns every GGA sentence of a GPS-only or combined receiver
// into a track point for its owner (with the NMEA reader's conversion) and appends every line
// to the day's raw log. The serial port itself sits behind IGpsPort so that the Qt adapter and
// tests can provide it.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "geodata/gps/nmea_day_log.h"
#include "geodata/gps/nmea_line_assembler.h"
#include "geodata/gpx/gpx_model.h"
#include "geodata/nmea/nmea_file.h"

namespace geodata {

class IGpsPort {
  public:
    virtual ~IGpsPort() = default;
    virtual bool IsOpen() const = 0;
    // Throws (any std::exception) when the port cannot be opened.
    virtual void Open() = 0;
    virtual void Close() = 0;
};

class GpsReceiver;

// Sender, the point made for this event (the handler owns it), status (always 0).
using TOnDataNotify = std::function<void(GpsReceiver&, std::unique_ptr<TGPXwpt>, int)>;

class GpsReceiver {
  public:
    static constexpr const char* kOpenFailedMessage = "无法打开串口！";

    // Takes over the port. `showMessage` shows a plain message box (may be empty in tests).
    GpsReceiver(std::unique_ptr<IGpsPort> port, NmeaDayLog log,
                std::function<void(const std::string&)> showMessage = {});
    ~GpsReceiver();
    GpsReceiver(const GpsReceiver&) = delete;
    GpsReceiver& operator=(const GpsReceiver&) = delete;

    TOnDataNotify OnDataNotify;

    // Opens the port when it is closed; a failure shows kOpenFailedMessage and leaves the
    // receiver disconnected. A half-received line is discarded.
    void Start();
    void Stop();
    // The port failed while open (a read error, the device gone): the connection ends as Stop
    // ends it, so that nothing reads a dead device again. Returns whether a connection ended,
    // so that the caller reports it once.
    bool ConnectionLost();

    bool Connected() const { return connected_; }
    void SetConnected(bool connected) { connected_ = connected; }

    // The port's received-characters event. While not connected nothing is handled (the caller
    // leaves the characters in the port). Every completed line is parsed and then logged; when
    // the handler or the log raises, the remaining lines are still handled and the first error
    // is raised afterwards (that line is not logged).
    void ComRxChar(std::string_view characters);

    // The port's after-close event.
    void ComAfterClose();

    // Parses one line: every GGA sentence in it of the GN or GP talker gives one point, marked
    // with sat kSatNoFix when the sentence cannot be read.
    void ParseSentences(std::string_view line);
    void SaveFile(std::string_view line) { log_.SaveFile(line); }

    IGpsPort& Port() { return *port_; }

  private:
    std::unique_ptr<IGpsPort> port_;
    NmeaDayLog log_;
    std::function<void(const std::string&)> showMessage_;
    NmeaLineAssembler assembler_;
    TNMEAFile nmeaFile_;
    bool connected_ = false;
};

}  // namespace geodata
