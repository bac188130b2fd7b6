#include "mainwindow/app/main_form.h"

#include <QWebEnginePage>
#include <QWebEngineView>

namespace mainwindow {

TfrmMain::TfrmMain(QWebEngineProfile& profile, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Vantorel"));
    resize(1200, 800);
    view_ = new QWebEngineView(this);
    view_->setPage(new QWebEnginePage(&profile, view_));
    setCentralWidget(view_);
    view_->setHtml(
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                       "<body style=\"margin:0;background:#e8eef3;font:16px sans-serif\">"
                       "<p style=\"padding:2em;color:#456\">Vantorel</p></body></html>"));
}

}  // namespace mainwindow
