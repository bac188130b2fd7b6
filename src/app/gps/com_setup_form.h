#pragma once
// The port-setup dialog of the GPS receiver's serial port: six lists (port, baud rate, data
// bits, stop bits, parity, flow control) over the serial settings file.
#include <QDialog>
#include <QStringList>
#include <filesystem>

#include "geodata/gps/port_settings.h"

class QComboBox;

namespace app {
class IMessages;
}

namespace geodataui {

class IGpsSerialPort;

class TComSetupFrm : public QDialog {
    Q_OBJECT

  public:
    explicit TComSetupFrm(QWidget* parent = nullptr);

    // Fills the lists (the ports present, with the stored port added when it is not among
    // them) and selects the settings' values.
    void Show(const geodata::ComPortSettings& settings, const QStringList& ports);
    // The chosen values; what the lists do not show (the custom rate) stays as shown.
    geodata::ComPortSettings Collect() const;

  private:
    geodata::ComPortSettings shown_;
    QComboBox* cbbPort = nullptr;
    QComboBox* cbbBaudrate = nullptr;
    QComboBox* cbbDatabits = nullptr;
    QComboBox* cbbStopbits = nullptr;
    QComboBox* cbbParity = nullptr;
    QComboBox* cbbFlowcontrol = nullptr;
};

// Loads the stored settings into the port, shows the dialog from them (the port list at the
// port that a start opens) and, on OK, gives the port the chosen values and stores them in
// `file`; a failed store is reported. Cancel changes nothing. Returns whether OK was chosen.
bool RunComSetupDialog(QWidget* parent, IGpsSerialPort& port, const std::filesystem::path& file,
                       app::IMessages& messages);

}  // namespace geodataui
