#include "tile_version_update.h"

#include <QMetaObject>
#include <QString>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "app/services/exception_log.h"
#include "engine/download/download_settings.h"
#include "engine/settings/settings.h"

namespace app {

struct TileVersionUpdate::Link {
    std::mutex mutex;
    QObject* context = nullptr;  // null once the owner has gone
    engine::TSettings* settings = nullptr;
    std::function<void()> stored;

    // On the context's thread.
    void Store(const engine::TileVersions& versions) {
        std::function<void()> done;
        {
            std::lock_guard lock(mutex);
            if (context == nullptr)
                return;
            engine::SettingsTileVersionStore store(*settings);
            engine::StoreTileVersions(versions, store);
            done = stored;
        }
        if (done)
            done();
    }
};

TileVersionUpdate::TileVersionUpdate(QObject& context, engine::TSettings& settings,
                                     std::function<void()> stored, Fetch fetch)
    : link_(std::make_shared<Link>()), fetch_(std::move(fetch)) {
    link_->context = &context;
    link_->settings = &settings;
    link_->stored = std::move(stored);
    if (!fetch_)
        fetch_ = [] { return engine::FetchTileVersions(); };
}

TileVersionUpdate::~TileVersionUpdate() {
    std::lock_guard lock(link_->mutex);
    link_->context = nullptr;
}

void TileVersionUpdate::Start() {
    std::thread([link = link_, fetch = fetch_] {
        engine::TileVersions versions;
        try {
            versions = fetch();
        } catch (const std::exception& error) {
            Log(QStringLiteral("tile versions: ") + QString::fromUtf8(error.what()));
            return;
        }
        std::lock_guard lock(link->mutex);
        // A context that goes before the call is delivered takes the call with it.
        if (link->context != nullptr) {
            QMetaObject::invokeMethod(
                link->context, [link, versions] { link->Store(versions); }, Qt::QueuedConnection);
        }
    }).detach();
}

}  // namespace app
