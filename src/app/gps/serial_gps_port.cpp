#include "serial_gps_port.h"

#include <QSerialPortInfo>
#include <stdexcept>
#include <utility>

namespace geodataui {
namespace {

QSerialPort::StopBits StopBitsOf(const std::string& text) {
    if (text == "1.5") {
        return QSerialPort::OneAndHalfStop;
    }
    return text == "2" ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

QSerialPort::DataBits DataBitsOf(const std::string& text) {
    if (text == "5") {
        return QSerialPort::Data5;
    }
    if (text == "6") {
        return QSerialPort::Data6;
    }
    return text == "7" ? QSerialPort::Data7 : QSerialPort::Data8;
}

QSerialPort::Parity ParityOf(const std::string& text) {
    if (text == "Odd") {
        return QSerialPort::OddParity;
    }
    if (text == "Even") {
        return QSerialPort::EvenParity;
    }
    if (text == "Mark") {
        return QSerialPort::MarkParity;
    }
    return text == "Space" ? QSerialPort::SpaceParity : QSerialPort::NoParity;
}

// "Custom" flow control has no meaning without the other library's extra settings: none.
QSerialPort::FlowControl FlowControlOf(const std::string& text) {
    if (text == "Hardware") {
        return QSerialPort::HardwareControl;
    }
    return text == "Software" ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl;
}

}  // namespace

std::filesystem::path SerialSettingsFile(const engine::XdgBaseDirs& dirs) {
    return dirs.dataHome / "Vantorel" / "settings.ini";
}

std::filesystem::path GpsLogFolder(const engine::XdgBaseDirs& dirs) {
    return geodata::NmeaLogFolder(dirs.dataHome / "Vantorel");
}

QStringList AvailablePortNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        names << info.portName();
    }
    return names;
}

SerialGpsPort::SerialGpsPort(std::function<QStringList()> presentPorts, QObject* parent)
    : QObject(parent), presentPorts_(std::move(presentPorts)) {
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        if (received_) {
            received_();
        }
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialGpsPort::OnError);
}

SerialGpsPort::~SerialGpsPort() {
    received_ = {};
    afterClose_ = {};
    failed_ = {};
    port_.close();
}

QString SerialGpsPort::PortName() const {
    // A port the user chose is opened or nothing is: never another device in its place.
    if (geodata::PortChosen(settings_.Port)) {
        return QString::fromStdString(settings_.Port);
    }
    const QStringList present = presentPorts_ ? presentPorts_() : QStringList();
    return present.isEmpty() ? QString() : present.front();
}

void SerialGpsPort::ApplySettings(const geodata::ComPortSettings& settings) {
    settings_ = settings;
}

std::string SerialGpsPort::ReadAll() {
    return port_.readAll().toStdString();
}

void SerialGpsPort::SetHandlers(std::function<void()> received, std::function<void()> afterClose,
                                std::function<void(const std::string&)> failed) {
    received_ = std::move(received);
    afterClose_ = std::move(afterClose);
    failed_ = std::move(failed);
}

bool SerialGpsPort::IsOpen() const {
    return port_.isOpen();
}

void SerialGpsPort::Open() {
    Configure();
    if (!port_.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(port_.errorString().toStdString());
    }
}

void SerialGpsPort::Close() {
    if (!port_.isOpen()) {
        return;
    }
    port_.close();
    if (afterClose_) {
        afterClose_();
    }
}

void SerialGpsPort::Configure() {
    port_.setPortName(PortName());
    port_.setBaudRate(settings_.BaudRateValue());
    port_.setDataBits(DataBitsOf(settings_.DataBits));
    port_.setStopBits(StopBitsOf(settings_.StopBits));
    port_.setParity(ParityOf(settings_.Parity));
    port_.setFlowControl(FlowControlOf(settings_.FlowControl));
}

void SerialGpsPort::OnError(QSerialPort::SerialPortError error) {
    // A device that went away stays readable: every read fails (a read error, or a resource
    // error when the system says so) and would wake the UI thread again at once, for ever.
    // The first report ends it.
    if ((error != QSerialPort::ReadError && error != QSerialPort::ResourceError) ||
        !port_.isOpen()) {
        return;
    }
    // The port's error text is not given: after a read that returned nothing it names whatever
    // the last failed system call left behind.
    const std::string reason =
        error == QSerialPort::ReadError ? "read failed" : "device no longer available";
    if (failed_) {
        failed_(reason);
    }
    Close();
}

}  // namespace geodataui
