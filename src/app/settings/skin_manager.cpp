#include "skin_manager.h"

#include <QApplication>
#include <QDir>
#include <QStyle>
#include <QStyleFactory>

#include "engine/settings/settings.h"
#include "installed_files.h"

namespace app {

QString SkinsFolder() {
    return InstalledDataFile(QStringLiteral("skins"));
}

SkinManager::SkinManager(QObject* parent)
    : QObject(parent),
      systemStyle_(QApplication::style()->name()),
      systemPalette_(QApplication::palette()),
      systemSheet_(qApp->styleSheet()) {}

SkinManager::~SkinManager() = default;

SkinManager& SkinManager::Instance() {
    static SkinManager* manager = new SkinManager(qApp);
    return *manager;
}

void SkinManager::LoadSkins(const QString& folder) {
    const QDir dir(folder);
    // Style sheets name their images "skin:<file>", found in the skins folder.
    QDir::addSearchPath(QStringLiteral("skin"), dir.absolutePath());
    const QStringList files =
        dir.entryList({QStringLiteral("*.skin")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files) {
        if (auto skin = LoadSkinFile(dir.filePath(file))) {
            Register(std::move(*skin));
        }
    }
}

bool SkinManager::Register(Skin skin) {
    if (skin.name.compare(QLatin1String(kSystemStyleName), Qt::CaseInsensitive) == 0 ||
        Find(skin.name) != nullptr) {
        return false;
    }
    skins_.push_back(std::move(skin));
    return true;
}

QStringList SkinManager::StyleNames() const {
    QStringList names{QLatin1String(kSystemStyleName)};
    for (const Skin& skin : skins_) {
        names << skin.name;
    }
    return names;
}

const Skin* SkinManager::Find(const QString& name) const {
    for (const Skin& skin : skins_) {
        if (skin.name == name) {
            return &skin;
        }
    }
    return nullptr;
}

bool SkinManager::TrySetStyle(const QString& name) {
    // The style in force already: nothing to switch, no notice (the page is not reloaded).
    if (name.compare(active_, Qt::CaseInsensitive) == 0 &&
        (Find(name) != nullptr ||
         name.compare(QLatin1String(kSystemStyleName), Qt::CaseInsensitive) == 0)) {
        return true;
    }
    if (name.compare(QLatin1String(kSystemStyleName), Qt::CaseInsensitive) == 0) {
        QApplication::setStyle(QStyleFactory::create(systemStyle_));
        QApplication::setPalette(systemPalette_);
        qApp->setStyleSheet(systemSheet_);
        active_ = QLatin1String(kSystemStyleName);
        emit styleChanged(active_);
        return true;
    }
    const Skin* skin = Find(name);
    if (skin == nullptr) {
        return false;
    }
    QStyle* style = QStyleFactory::create(skin->baseStyle);
    if (style == nullptr) {
        return false;
    }
    QApplication::setStyle(style);  // the application owns it
    QApplication::setPalette(skin->palette);
    qApp->setStyleSheet(skin->styleSheet);
    active_ = skin->name;
    emit styleChanged(active_);
    return true;
}

void ApplyStartupSkin(const engine::TSettings& settings) {
    SkinManager& skins = SkinManager::Instance();
    skins.LoadSkins(SkinsFolder());
    skins.TrySetStyle(
        QString::fromStdString(settings.GetStrSetting(engine::StrSetting::StyleName)));
}

}  // namespace app
