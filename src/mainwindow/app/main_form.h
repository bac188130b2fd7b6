#pragma once
// The main window: for now the map view over the whole client area, driven by the page host.
#include <QMainWindow>
#include <memory>

class QWebEngineProfile;
class QWebEngineView;

namespace mainwindow {

class TChromium;

class TfrmMain : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmMain(QWebEngineProfile& profile, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TChromium& crm() { return *crm_; }
    QWebEngineView* MapView() const { return view_; }

  private:
    QWebEngineView* view_ = nullptr;
    std::unique_ptr<TChromium> crm_;
};

}  // namespace mainwindow
