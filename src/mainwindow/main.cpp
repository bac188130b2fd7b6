// Vantorel: starts the Qt application and shows the main window.
#include <QApplication>

#include "mainwindow/app/main_form.h"
#include "mainwindow/app/webengine_setup.h"

int main(int argc, char** argv) {
    mainwindow::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantorel"));
    QApplication::setDesktopFileName(QStringLiteral("vantorel"));

    QWebEngineProfile* profile = mainwindow::CreateWebProfile(&app);
    mainwindow::TfrmMain window(*profile);
    window.show();
    return QApplication::exec();
}
