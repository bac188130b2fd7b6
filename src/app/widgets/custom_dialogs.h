#pragma once
// The system's own message dialog: a fixed dialog built at run time for each message, with a
// caption by kind, a standard icon, the word-wrapped text and one row of buttons. Ctrl+C puts
// the dialog's whole text on the clipboard; dragging its body moves it.
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "message_layout.h"

class QLabel;
class QPushButton;

namespace app {

enum class FormPosition { poDesigned, poScreenCenter };

class TMsgForm : public QDialog {
    Q_OBJECT

  public:
    // The form takes the platform's message-box font.
    explicit TMsgForm(QWidget* parent = nullptr);

    // The message label; callers that rewrite the message after creation set its text.
    QLabel* DlgMessage() const { return message_; }
    // Closes the dialog with the given result (as a button with that result would).
    void SetModalResult(int result) { done(result); }
    int ModalResult() const { return result(); }
    QString GetDialogText() const;

    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    QString HelpFile() const { return helpFile_; }
    void SetHelpFile(const QString& file) { helpFile_ = file; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool showHint) { showHint_ = showHint; }

  signals:
    // The Help button asks for the form's help context (never -1).
    void helpRequested(int context);

  public slots:
    // The caption bar's close box (and every other close) answers Cancel.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    friend std::unique_ptr<TMsgForm> CreateMsgForm(const QString&, TMsgDlgKind,
                                                   const TMsgButtonKinds&, bool, QWidget*);
    void CopyToClipboard();

    QLabel* message_ = nullptr;
    std::vector<QPushButton*> buttons_;  // in creation order
    QPushButton* cancelButton_ = nullptr;
    int helpContext_ = 0;
    QString helpFile_;
    bool showHint_ = false;
};

// Builds the dialog without showing it; the caller owns it. The widgets are named "Image",
// "Message" and by button kind ("Yes", "No", "OK", ...).
std::unique_ptr<TMsgForm> CreateMsgForm(const QString& msg, TMsgDlgKind kind,
                                        const TMsgButtonKinds& buttons, bool showHint,
                                        QWidget* parent = nullptr);

// Builds, shows modally and frees a dialog; returns its modal result. A non-empty caption
// replaces the kind's caption; X or Y of 0 or more place the dialog.
int ShowMsgForm(const QString& msg, const QString& caption, TMsgDlgKind kind,
                const TMsgButtonKinds& buttons, bool showHint, int helpContext,
                const QString& helpFile, FormPosition position, int x, int y);

// The plain box: the application's title as caption, no icon, one OK button.
void ShowPlainMsg(const QString& msg);
void ShowInfoMsg(const QString& msg, const QString& caption = QString());
void ShowErrorMsg(const QString& msg, const QString& caption = QString());
void ShowWarningMsg(const QString& msg, const QString& caption = QString());
// True exactly when the answer is Yes (Esc and the close box answer No).
bool AskYesNo(const QString& msg, const QString& caption = QString());
bool AskWarningYesNo(const QString& msg, const QString& caption = QString());

}  // namespace app
