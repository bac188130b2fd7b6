#include "geodata/gps/gps_receiver.h"

#include <utility>

namespace geodata {

GpsReceiver::GpsReceiver(std::unique_ptr<IGpsPort> port, NmeaDayLog log,
                         std::function<void(const std::string&)> showMessage)
    : port_(std::move(port)), log_(std::move(log)), showMessage_(std::move(showMessage)) {}

GpsReceiver::~GpsReceiver() {
    if (connected_) {
        try {
            Stop();
        } catch (...) {
            // Closing on the way out must not end the program.
        }
    }
}

void GpsReceiver::Start() {
    assembler_.Reset();
    if (!port_->IsOpen()) {
        try {
            port_->Open();
        } catch (const std::exception&) {
            if (showMessage_) {
                showMessage_(kOpenFailedMessage);
            }
        }
        connected_ = port_->IsOpen();
    }
}

void GpsReceiver::Stop() {
    port_->Close();
    connected_ = port_->IsOpen();
    assembler_.Reset();
}

bool GpsReceiver::ConnectionLost() {
    const bool wasConnected = connected_;
    Stop();
    return wasConnected;
}

void GpsReceiver::ComAfterClose() {
    assembler_.Reset();
}

void GpsReceiver::ComRxChar(std::string_view characters) {
    if (!connected_) {
        return;
    }
    std::exception_ptr firstError;
    for (const auto& line : assembler_.Feed(characters)) {
        try {
            ParseSentences(line);
            SaveFile(line);
        } catch (...) {
            if (!firstError) {
                firstError = std::current_exception();
            }
        }
    }
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

void GpsReceiver::ParseSentences(std::string_view line) {
    std::size_t start = 0;
    while (start <= line.size()) {
        const auto next = line.find('$', start);
        const auto piece = "$" + std::string(line.substr(
                                     start, next == std::string_view::npos ? next : next - start));
        if (piece.starts_with("$GNGGA") || piece.starts_with("$GPGGA")) {
            auto point = std::make_unique<TGPXwpt>();
            point->sat = kSatNoFix;
            nmeaFile_.GPGGAToGPXwpt(piece, *point);
            if (OnDataNotify) {
                OnDataNotify(*this, std::move(point), 0);
            }
        }
        if (next == std::string_view::npos) {
            break;
        }
        start = next + 1;
    }
}

}  // namespace geodata
