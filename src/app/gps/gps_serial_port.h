#pragma once
// The serial port of the GPS receiver as the window layer uses it: the receiver's port plus
// its name, its serial settings and the characters it has received. The Qt adapter is
// SerialGpsPort; tests provide their own.
#include <QString>
#include <functional>
#include <string>

#include "geodata/gps/gps_receiver.h"
#include "geodata/gps/port_settings.h"

namespace geodataui {

class IGpsSerialPort : public geodata::IGpsPort {
  public:
    // The device that Open() opens: the port the user chose, present or not; for the first-run
    // default the first port present, empty when the computer has no serial port at all.
    virtual QString PortName() const = 0;
    virtual const geodata::ComPortSettings& Settings() const = 0;
    // Takes effect at the next Open().
    virtual void ApplySettings(const geodata::ComPortSettings& settings) = 0;
    // Everything received and not yet read.
    virtual std::string ReadAll() = 0;
    // `received`: characters are waiting; `afterClose`: the port was closed; `failed`: the open
    // port failed (a read error, the device gone), with the reason. The port is closed after
    // `failed` when the handler has not closed it.
    virtual void SetHandlers(std::function<void()> received, std::function<void()> afterClose,
                             std::function<void(const std::string&)> failed) = 0;
};

}  // namespace geodataui
