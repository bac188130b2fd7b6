#pragma once
// Qt's own texts (file dialogs, the edit boxes' menus, standard buttons) in Chinese, as the
// rest of the interface is, whatever the user's locale.
class QCoreApplication;
class QTranslator;

namespace app {

// Installs Qt's Chinese translations from Qt's translation folder into the application,
// which owns the translator. Null (and the texts stay English) when they are not installed.
QTranslator* InstallQtTranslations(QCoreApplication& app);

}  // namespace app
