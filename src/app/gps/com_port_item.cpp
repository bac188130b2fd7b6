#include "com_port_item.h"

#include <exception>
#include <utility>

#include "engine/log/logger.h"

namespace geodataui {

TComPortItem::TComPortItem(std::unique_ptr<IGpsSerialPort> port, geodata::NmeaDayLog log,
                           std::function<void(const std::string&)> showMessage)
    : port_(port.get()), receiver_(std::move(port), std::move(log), std::move(showMessage)) {
    port_->SetHandlers([this] { ComRxChar(); }, [this] { receiver_.ComAfterClose(); },
                       [this](const std::string& reason) { ComError(reason); });
}

TComPortItem::~TComPortItem() {
    port_->SetHandlers({}, {}, {});
}

void TComPortItem::SetOnDataNotify(geodata::TOnDataNotify handler) {
    receiver_.OnDataNotify = std::move(handler);
}

void TComPortItem::SetOnConnectionLost(std::function<void()> handler) {
    onConnectionLost_ = std::move(handler);
}

void TComPortItem::Start() {
    receiver_.Start();
}

void TComPortItem::Stop() {
    receiver_.Stop();
}

void TComPortItem::ComRxChar() {
    // While not connected the characters stay in the port.
    if (!receiver_.Connected()) {
        return;
    }
    try {
        receiver_.ComRxChar(port_->ReadAll());
    } catch (const std::exception& error) {
        // A line the log could not take: logged like any unhandled error; the next line is
        // handled normally.
        engine::AppendLog(std::string("GPS: ") + error.what());
    }
}

void TComPortItem::ComError(const std::string& reason) {
    if (!receiver_.ConnectionLost()) {
        return;
    }
    engine::AppendLog("GPS: serial port " + port_->PortName().toStdString() + ": " + reason +
                      "; following stopped");
    if (onConnectionLost_) {
        onConnectionLost_();
    }
}

}  // namespace geodataui
