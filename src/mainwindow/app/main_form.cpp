#include "mainwindow/app/main_form.h"

#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>

#include "mainwindow/page/page_host.h"

namespace mainwindow {

TfrmMain::TfrmMain(QWebEngineProfile& profile, QWidget* parent)
    : QMainWindow(parent), crm_(std::make_unique<TChromium>()) {
    setWindowTitle(QStringLiteral("Vantorel"));
    resize(1200, 800);
    view_ = new QWebEngineView(this);
    auto* page = new QWebEnginePage(&profile, view_);
    view_->setPage(page);
    setCentralWidget(view_);
    crm_->SetPage(page);
    bool loaded = false;
    if (crm_->InitMaps()) {
        try {
            crm_->LoadMaps(TPageSettings());
            loaded = true;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "map page: %s\n", error.what());
        }
    }
    if (!loaded) {
        view_->setHtml(
            QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                           "<body style=\"margin:0;background:#e8eef3;font:16px sans-serif\">"
                           "<p style=\"padding:2em;color:#456\">Vantorel</p></body></html>"));
    }
}

// The page goes with the view before the host lets go of its files.
TfrmMain::~TfrmMain() = default;

}  // namespace mainwindow
