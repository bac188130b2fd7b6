#pragma once
// Open and save dialogs with one extra row: the label "坐标类型(&C):" and a drop-down whose
// entries the caller supplies and whose chosen index the caller reads afterwards. Built on
// Qt's own (non-native) file dialog, so that skins reach it and the row can be added.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QComboBox;
class QFileDialog;
class QWidget;

namespace geodata_ui {

struct TextFileRequest {
    QString caption;
    QString initialDir;
    QString fileName;
    QString filter;       // "Name|*.a|Other|*.b"
    int filterIndex = 1;  // 1-based, read back after Execute
    QString defaultExt;   // without the dot
    QStringList encodings;
    int encodingIndex = 0;  // read back after Execute, confirmed or not
};

class TOpenTextFileDialog {
  public:
    static QStringList DefaultEncodings();

    TOpenTextFileDialog();
    virtual ~TOpenTextFileDialog() = default;

    TextFileRequest request;

    // Shows the dialog modally; true when the user confirmed a file name, which is then in
    // request.fileName. EncodingIndex is taken in either case.
    bool Execute(QWidget* parent = nullptr);

    // The steps of Execute, for tests: the dialog with its extra row, and what is read back
    // from it when it closed with `accepted`.
    std::unique_ptr<QFileDialog> Build(QWidget* parent) const;
    bool Finish(QFileDialog& dialog, bool accepted);

  protected:
    virtual bool SaveMode() const { return false; }

  private:
    // The row Build added to the last dialog it made, read back by Finish.
    mutable QPointer<QComboBox> encodingCombo_;
};

class TSaveTextFileDialog : public TOpenTextFileDialog {
  protected:
    bool SaveMode() const override { return true; }
};

// What controllers call; the window passes a TSaveTextFileDialog-based one, tests a fake.
class ITextFileDialogs {
  public:
    virtual ~ITextFileDialogs() = default;
    virtual bool ExecuteSave(TextFileRequest& request) = 0;
};

class QtTextFileDialogs final : public ITextFileDialogs {
  public:
    explicit QtTextFileDialogs(QWidget* parent) : parent_(parent) {}
    bool ExecuteSave(TextFileRequest& request) override;

  private:
    QWidget* parent_;
};

}  // namespace geodata_ui
