#pragma once
// The marker editor window: a tool window of the main window over MarkerEditController.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace app {

class MarkerEditController;

class TfrmMarkerEdit : public QDialog {
    Q_OBJECT

  public:
    TfrmMarkerEdit(MarkerEditController& controller, QWidget* parent);

    // Copies the controller's marker into the controls.
    void UpdateInfo();

    QLineEdit* edtTitle = nullptr;
    QLineEdit* edtLongitude = nullptr;
    QLineEdit* edtLatitude = nullptr;
    QPlainTextEdit* mmoContent = nullptr;
    QLabel* lblContent = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnClose = nullptr;

  public slots:
    // Closing by the title bar, Escape or btnClose asks the controller first.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void btnSaveClick();
    void btnDeleteClick();
    void LimitContent();

    MarkerEditController& controller_;
};

}  // namespace app
