#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "app/services/exception_log.h"

namespace app {

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    auto translator = std::make_unique<QTranslator>();
    // "qt_zh_CN" gathers the catalogues of every Qt module.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qt_zh_CN"), folder) ||
        !QCoreApplication::installTranslator(translator.get())) {
        Log(QStringLiteral("Qt translations not found in ") + folder);
        return nullptr;
    }
    translator->setParent(&app);
    return translator.release();
}

}  // namespace app
