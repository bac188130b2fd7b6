#include "page_host.h"

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <algorithm>
#include <memory>
#include <optional>

#include "engine/core/number_format.h"
#include "engine/core/utilities.h"
#include "map_web_page.h"
#include "page_scripts.h"
#include "page_settings_source.h"
#include "script_text.h"

namespace app {
namespace {

// The code run through an indirect eval, so that it sees the page's global scope. A thrown
// error is raised again outside the run, where the page's console reports it (a run's own
// errors are not reported there).
QString GuardedScript(const QString& code) {
    return QStringLiteral("try { (0, eval)(") + JsString(code) +
           QStringLiteral("); } catch (e) { setTimeout(function () { throw e; }, 0); }");
}

}  // namespace

TChromium::TChromium(QString pageSource, QObject* parent)
    : QObject(parent), bridge_(processor_), files_(std::move(pageSource)) {
    connect(&bridge_.Control(), &BridgeControl::pageReady, this, &TChromium::OnPageReady);
}

TChromium::~TChromium() {
    try {
        files_.DeleteMapAPIFile(true);
    } catch (const std::exception&) {
        // The private folder goes with the files object in any case.
    }
}

void TChromium::SetPage(QWebEnginePage* page) {
    DropWaiting();
    ready_ = false;
    page_ = page;
    if (page) {
        bridge_.Attach(*page);
    }
}

bool TChromium::IsBaiduMap() const {
    const auto ordinal = static_cast<int>(mapType_);
    return ordinal >= static_cast<int>(engine::TMapType::mtBaiduRoadMap) &&
           ordinal <= static_cast<int>(engine::TMapType::mtBaidu3D);
}

bool TChromium::InitMaps() {
    return files_.Unpack();
}

void TChromium::LoadMaps(const PageSettings& settings) {
    const bool baidu = IsBaiduMap();
    const auto page = [&] { return baidu ? files_.BaiduMapHtml() : files_.GoogleMapHtml(); };
    if (files_.Folder().empty() || !std::filesystem::exists(page())) {
        InitMaps();
    }
    htmlFile_ = page();
    mainJsFile_ = files_.MapFilesDir() / "js" / (baidu ? "bmap_settings.js" : "gmap_settings.js");
    const QStringList lines = ReadScriptLines(mainJsFile_);
    WriteScriptLines(mainJsFile_, baidu ? RewriteBaiduSettings(lines, settings, mapType_)
                                        : RewriteGoogleSettings(lines, settings));
    if (page_) {
        // Scripts meant for the page that goes are dropped: the new one starts from the
        // settings just written. Its address carries the load's number, so that a late report
        // of the page before cannot pass for this one's.
        DropWaiting();
        ready_ = false;
        ++load_;
        QUrl url = QUrl::fromLocalFile(QString::fromStdString(htmlFile_.string()));
        url.setQuery(QStringLiteral("load=%1").arg(load_));
        if (auto* own = qobject_cast<MapWebPage*>(page_.data())) {
            own->AllowPage(url, QString::fromStdString(files_.Folder().string()));
        }
        page_->load(url);
    }
}

void TChromium::OnPageReady(int load) {
    if (ready_ || load != load_) {
        return;  // told twice, or by a page that is already gone
    }
    ready_ = true;
    // In the order sent; anything sent meanwhile queues behind.
    while (ready_ && !waiting_.empty()) {
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        next.run();
    }
    emit pageReady();
}

void TChromium::WhenReady(std::function<void()> run, std::function<void()> drop) {
    if (ready_ && waiting_.empty()) {
        run();
        return;
    }
    waiting_.push_back({std::move(run), std::move(drop)});
}

void TChromium::DropWaiting() {
    std::deque<Waiting> dropped;
    dropped.swap(waiting_);
    for (Waiting& w : dropped) {
        if (w.drop) {
            w.drop();
        }
    }
}

void TChromium::RunScript(const QString& code) {
    if (!page_ || code.isEmpty()) {
        return;
    }
    const QPointer<QWebEnginePage> page = page_;
    WhenReady([page, script = GuardedScript(code)] {
        if (page) {
            page->runJavaScript(script, QWebEngineScript::MainWorld);
        }
    });
}

void TChromium::LoadMaps(engine::TSettings& settings) {
    settings.SetBoolSetting(engine::BoolSetting::BigFontMode, false);
    LoadMaps(PageSettingsFrom(settings));
}

void TChromium::ClearCache(const std::filesystem::path& cachePath, QWebEngineProfile* profile) {
    engine::WipeDirectory(cachePath, 0);
    if (profile) {
        profile->clearHttpCache();
    }
}

void TChromium::ReleaseBrowserCache(QWebEngineProfile* profile) {
    // The engine closes its disk cache within this call; nothing is written there after it.
    if (profile) {
        profile->setHttpCacheType(QWebEngineProfile::NoCache);
    }
}

struct TChromium::PendingCall {
    std::function<void(const QString&)> then;
    bool answered = false;
    bool flushed = false;
    bool finished = false;
    QVariantList answer;
    QMetaObject::Connection flush;
    QPointer<QTimer> limit;
};

void TChromium::ExecJavaScript(const QString& code, std::function<void(const QString&)> then,
                               int timeoutMs) {
    if (!page_ || code.isEmpty()) {
        QTimer::singleShot(0, this, [then = std::move(then)] {
            if (then) {
                then(QString());
            }
        });
        return;
    }
    // With the bridge in the page, the run sends a flush marker behind every callback
    // it made; once the marker is back, all of them have reached their handlers. The run's
    // own answer is [bridge present, last returned value].
    const int token = ++flushToken_;
    const QString script = QStringLiteral("(function () { ") + GuardedScript(code) +
                           QStringLiteral(
                               " if (!window.__vantorelFlush) { return [false, null]; }"
                               " window.__vantorelFlush(") +
                           JsInt(token) +
                           QStringLiteral("); return [true, window.__vantorelReturnValue]; })()");

    auto call = std::make_shared<PendingCall>();
    call->then = std::move(then);
    // The time limit owns the call: it goes with the host, and a page that answers after
    // that finds nothing to finish. It runs from now, so waiting for the page counts.
    auto* limit = new QTimer(this);
    limit->setSingleShot(true);
    call->limit = limit;
    connect(limit, &QTimer::timeout, this, [this, call] { FinishCall(call); });
    const std::weak_ptr<PendingCall> weak = call;
    call->flush = connect(&bridge_.Control(), &BridgeControl::flushed, this,
                          [this, weak, token](int arrived) {
                              if (auto c = weak.lock(); c && arrived == token) {
                                  c->flushed = true;
                                  if (c->answered) {
                                      FinishCall(c);
                                  }
                              }
                          });
    limit->start(timeoutMs);
    const QPointer<QWebEnginePage> page = page_;
    WhenReady(
        [this, page, script, weak] {
            if (!page || weak.expired()) {
                return;  // the call is over already
            }
            page->runJavaScript(
                script, QWebEngineScript::MainWorld, [this, weak](const QVariant& value) {
                    auto c = weak.lock();
                    if (!c) {
                        return;
                    }
                    c->answer = value.toList();
                    c->answered = true;
                    const bool bridged = !c->answer.isEmpty() && c->answer.first().toBool();
                    if (!bridged || c->flushed) {
                        FinishCall(c);
                    }
                });
        },
        [this, weak] {
            // The page went before it was ready: the call ends empty, after the load that
            // dropped it has set up the next page, so that `then` sees that one.
            QTimer::singleShot(0, this, [this, weak] {
                if (auto c = weak.lock()) {
                    FinishCall(c);
                }
            });
        });
}

void TChromium::FinishCall(const std::shared_ptr<PendingCall>& call) {
    if (call->finished) {
        return;
    }
    call->finished = true;
    disconnect(call->flush);
    QString result;  // no page, a page that hangs, or a page that went away
    if (call->answered) {
        const bool late = !call->flushed && call->answer.size() == 2 &&
                          call->answer.at(1).typeId() == QMetaType::QString;
        // A late marker: the page's own record of the value.
        result = late ? call->answer.at(1).toString() : processor_.JsReturnValue();
    }
    if (call->limit) {
        call->limit->stop();
        call->limit->deleteLater();
    }
    if (auto then = std::move(call->then)) {
        then(result);
    }
}

void TChromium::SetCenterAndZoom(const QString& latLngZoom) {
    if (!latLngZoom.isEmpty()) {
        RunScript(pagescript::SetCenterAndZoom(latLngZoom));
    }
}

void TChromium::SetCenterAndZoom(double lat, double lng, int zoom) {
    RunScript(pagescript::SetCenterAndZoom(lat, lng, zoom));
}

void TChromium::ShowBoundary(const QString& encodedPath) {
    RunScript(pagescript::ShowBoundary(encodedPath));
}

void TChromium::AddMarker(int id, const engine::TGLatLng& position, const geodata::TPOIData& poi,
                          bool center) {
    RunScript(pagescript::AddNewMarker(id, position, poi, center));
}

void TChromium::AddPOI(std::int64_t id, const QString& name, double lat, double lng,
                       const QString& content, bool isTemp, bool center) {
    RunScript(pagescript::AddPOI(id, name, lat, lng, content, isTemp, center));
}

void TChromium::AddMarker(const QString& latLngZoom, const QString& title) {
    RunScript(pagescript::AddMarker(latLngZoom, title));
}

void TChromium::SetMapTypeId(engine::TMapType mapType) {
    RunScript(pagescript::SetMapTypeId(mapType));
}

void TChromium::DecodePath(const QString& encodedPath,
                           std::function<void(std::vector<engine::TGLatLng>)> then) {
    ExecJavaScript(pagescript::DecodePath(encodedPath),
                   [then = std::move(then)](const QString& answer) {
                       if (then) {
                           then(ParseDecodedPath(answer));
                       }
                   });
}

void TChromium::EncodePath(const QString& path, std::function<void(const QString&)> then) {
    ExecJavaScript(pagescript::EncodePath(path), std::move(then));
}

void TChromium::GetBoundary(const QString& cityName, std::function<void(const QString&)> then) {
    ExecJavaScript(pagescript::GetBoundary(cityName), std::move(then));
}

std::vector<engine::TGLatLng> ParseDecodedPath(const QString& text) {
    std::vector<engine::TGLatLng> points;
    if (text.isEmpty()) {
        return points;
    }
    const QStringList fields = text.split(u',');
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString lat = QString(fields[i]).remove(u'(').trimmed();
        const QString lng = QString(fields[i + 1]).remove(u')').trimmed();
        points.push_back({engine::ParseFloat(lat.toStdString()).value_or(0),
                          engine::ParseFloat(lng.toStdString()).value_or(0)});
    }
    return points;
}

}  // namespace app
