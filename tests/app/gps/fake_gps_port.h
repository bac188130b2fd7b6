#pragma once
// A serial port for GPS tests: received text is handed in by the test, opening can be made to
// fail, the open port can fail, and every open and close is counted.
#include <stdexcept>
#include <string>

#include "app/gps/gps_serial_port.h"

namespace testmainwindow {

class FakeGpsPort final : public geodataui::IGpsSerialPort {
  public:
    QString name = QStringLiteral("ttyUSB0");
    bool failOpen = false;
    bool open = false;
    int opens = 0;
    int closes = 0;
    std::string waiting;
    geodata::ComPortSettings settings;

    QString PortName() const override { return name; }
    const geodata::ComPortSettings& Settings() const override { return settings; }
    void ApplySettings(const geodata::ComPortSettings& s) override { settings = s; }
    std::string ReadAll() override { return std::exchange(waiting, std::string()); }
    void SetHandlers(std::function<void()> received, std::function<void()> afterClose,
                     std::function<void(const std::string&)> failed) override {
        received_ = std::move(received);
        afterClose_ = std::move(afterClose);
        failed_ = std::move(failed);
    }
    bool IsOpen() const override { return open; }
    void Open() override {
        if (failOpen) {
            throw std::runtime_error("no such device");
        }
        open = true;
        ++opens;
    }
    void Close() override {
        if (open) {
            open = false;
            ++closes;
            if (afterClose_) {
                afterClose_();
            }
        }
    }

    // Characters arrive at the port.
    void Receive(const std::string& text) {
        waiting += text;
        if (received_) {
            received_();
        }
    }

    // The open port fails, as an unplugged receiver's does; closed afterwards in any case.
    void Fail(const std::string& reason) {
        if (!open) {
            return;
        }
        if (failed_) {
            failed_(reason);
        }
        Close();
    }

  private:
    std::function<void()> received_;
    std::function<void()> afterClose_;
    std::function<void(const std::string&)> failed_;
};

}  // namespace testmainwindow
