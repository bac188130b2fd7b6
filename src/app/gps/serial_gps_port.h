#pragma once
// The GPS receiver's serial port over Qt SerialPort, on the UI thread: received characters
// are announced through the port's readyRead signal, so the receiver handles them there.
#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/settings/settings_paths.h"
#include "gps_serial_port.h"

namespace geodataui {

// The serial settings file, apart from the main settings: $XDG_DATA_HOME/Vantorel/settings.ini.
std::filesystem::path SerialSettingsFile(const engine::XdgBaseDirs& dirs);
// The folder the raw NMEA log goes to, beside that file.
std::filesystem::path GpsLogFolder(const engine::XdgBaseDirs& dirs);
// The section of the port that the main window creates (a port component without a name).
inline constexpr const char* kSerialSettingsSection = "";

// The serial ports present on the computer, by name ("ttyUSB0", "ttyS0", ...).
QStringList AvailablePortNames();

class SerialGpsPort final : public QObject, public IGpsSerialPort {
    Q_OBJECT

  public:
    // `presentPorts` lists the ports that stand in for the first-run default.
    explicit SerialGpsPort(std::function<QStringList()> presentPorts = AvailablePortNames,
                           QObject* parent = nullptr);
    ~SerialGpsPort() override;

    QString PortName() const override;
    const geodata::ComPortSettings& Settings() const override { return settings_; }
    void ApplySettings(const geodata::ComPortSettings& settings) override;
    std::string ReadAll() override;
    void SetHandlers(std::function<void()> received, std::function<void()> afterClose,
                     std::function<void(const std::string&)> failed) override;

    bool IsOpen() const override;
    // Throws std::runtime_error with the port's error text when it cannot be opened.
    void Open() override;
    void Close() override;

  private:
    void Configure();
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    std::function<QStringList()> presentPorts_;
    geodata::ComPortSettings settings_;
    std::function<void()> received_;
    std::function<void()> afterClose_;
    std::function<void(const std::string&)> failed_;
};

}  // namespace geodataui
