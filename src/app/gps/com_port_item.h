#pragma once
// The GPS receiver monitor over a serial port of the window layer: characters the port
// announces are handed to the receiver (on the thread the port lives on, the UI thread), which
// cuts lines, hands a point to OnDataNotify for every GGA sentence and logs every line. A port
// that fails while followed (the receiver unplugged) ends the connection as a stop does.
#include <functional>
#include <memory>
#include <string>

#include "geodata/gps/gps_receiver.h"
#include "geodata/gps/nmea_day_log.h"
#include "gps_serial_port.h"

namespace geodataui {

class TComPortItem {
  public:
    // Takes over the port. `showMessage` shows the plain message box of a failed open.
    TComPortItem(std::unique_ptr<IGpsSerialPort> port, geodata::NmeaDayLog log,
                 std::function<void(const std::string&)> showMessage);
    ~TComPortItem();
    TComPortItem(const TComPortItem&) = delete;
    TComPortItem& operator=(const TComPortItem&) = delete;

    void SetOnDataNotify(geodata::TOnDataNotify handler);
    // Called once when a failing port has ended the connection.
    void SetOnConnectionLost(std::function<void()> handler);
    void Start();
    void Stop();
    bool Connected() const { return receiver_.Connected(); }
    IGpsSerialPort& Port() { return *port_; }

  private:
    void ComRxChar();
    void ComError(const std::string& reason);

    IGpsSerialPort* port_;  // owned by receiver_
    geodata::GpsReceiver receiver_;
    std::function<void()> onConnectionLost_;
};

}  // namespace geodataui
