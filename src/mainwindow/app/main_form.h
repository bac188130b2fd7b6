#pragma once
// The main window: for now the map view over the whole client area.
#include <QMainWindow>

class QWebEngineProfile;
class QWebEngineView;

namespace mainwindow {

class TfrmMain : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmMain(QWebEngineProfile& profile, QWidget* parent = nullptr);

    QWebEngineView* crm() const { return view_; }

  private:
    QWebEngineView* view_ = nullptr;
};

}  // namespace mainwindow
