#pragma once
// Tests wait for a real page's answer in a local event loop; the program itself only ever
// goes on in the answer's callback.
#include <QEventLoop>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "app/page/page_host.h"

namespace app {

// Starts work that calls back once with a value, and waits for that value.
template <typename Value, typename Start>
Value WaitForCallback(Start start) {
    QEventLoop loop;
    std::optional<Value> result;
    start([&](Value value) {
        result = std::move(value);
        loop.quit();
    });
    while (!result) {
        loop.exec();
    }
    return std::move(*result);
}

// The text `code` left through setJsReturnValue (empty for no page, a load or a time-out).
inline QString AnswerOf(TChromium& host, const QString& code, int timeoutMs = 10000) {
    return WaitForCallback<QString>([&](auto done) {
        host.ExecJavaScript(
            code, [done](const QString& answer) { done(answer); }, timeoutMs);
    });
}

inline std::vector<engine::TGLatLng> DecodedPathOf(TChromium& host, const QString& encoded) {
    return WaitForCallback<std::vector<engine::TGLatLng>>([&](auto done) {
        host.DecodePath(encoded, [done](std::vector<engine::TGLatLng> points) { done(points); });
    });
}

}  // namespace app
