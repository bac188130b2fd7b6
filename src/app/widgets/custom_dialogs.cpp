#include "custom_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace app {
namespace {

QStyle::StandardPixmap IconOf(TMsgDlgKind kind) {
    switch (kind) {
        case TMsgDlgKind::mkWarning:
            return QStyle::SP_MessageBoxWarning;
        case TMsgDlgKind::mkError:
            return QStyle::SP_MessageBoxCritical;
        case TMsgDlgKind::mkInformation:
            return QStyle::SP_MessageBoxInformation;
        case TMsgDlgKind::mkConfirmation:
        case TMsgDlgKind::mkCustom:
            break;
    }
    return QStyle::SP_MessageBoxQuestion;
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace

TMsgForm::TMsgForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setFont(QApplication::font("QMessageBox"));
}

void TMsgForm::reject() {
    done(mrCancel);
}

void TMsgForm::keyPressEvent(QKeyEvent* event) {
    // Keys the buttons leave alone come here, so Ctrl+C works whichever button has the focus.
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_C && modifiers == Qt::ControlModifier) {
        CopyToClipboard();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        // Esc presses the cancel button; a dialog without one stays open.
        if (cancelButton_) {
            cancelButton_->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMsgForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void TMsgForm::CopyToClipboard() {
    QApplication::beep();
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(GetDialogText());
    }
}

QString TMsgForm::GetDialogText() const {
    QStringList captions;
    for (const QPushButton* button : buttons_) {
        captions << button->text();
    }
    return app::GetDialogText(windowTitle(), message_ ? message_->text() : QString(), captions);
}

std::unique_ptr<TMsgForm> CreateMsgForm(const QString& text, TMsgDlgKind kind,
                                        const TMsgButtonKinds& buttons, bool showHint,
                                        QWidget* parent) {
    // A carriage return on its own breaks the line as "\r\n" does ("...?\r\r..."); the
    // label only breaks at line feeds.
    QString msg = text;
    static const QRegularExpression loneReturn(QStringLiteral("\r(?!\n)"));
    msg.replace(loneReturn, QStringLiteral("\n"));
    auto form = std::make_unique<TMsgForm>(parent);
    form->setLayoutDirection(QApplication::layoutDirection());
    form->SetShowHint(showHint);

    const QFontMetrics fm(form->font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QSize screen = ScreenSize();

    MsgLayoutInput input;
    input.averageCharWidth = fm.horizontalAdvance(letters) / 52;
    input.charHeight = fm.height();
    input.kind = kind;
    input.buttons = buttons;
    input.screenWidth = screen.width();
    input.screenHeight = screen.height();
    input.rightToLeft = form->layoutDirection() == Qt::RightToLeft;
    // The text wraps at half the screen width; tabs are expanded.
    input.measuredText = fm.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                         Qt::TextWordWrap | Qt::TextExpandTabs, msg);
    input.measuredText.moveTopLeft(QPoint(0, 0));

    const auto measureCaption = [&fm](TMsgButtonKind k) {
        // One line, the accelerator marker not drawn.
        return fm.horizontalAdvance(QString(ButtonCaption(k)).remove(u'&'));
    };
    const MsgLayout layout = ComputeMsgLayout(input, ButtonWidthCache::Process(), measureCaption);

    form->setWindowTitle(KindCaption(kind, QGuiApplication::applicationDisplayName()));
    form->setFixedSize(layout.clientWidth, layout.clientHeight);
    form->move(layout.left, layout.top);

    if (layout.iconRect) {
        auto* image = new QLabel(form.get());
        image->setObjectName(QStringLiteral("Image"));
        image->setGeometry(*layout.iconRect);
        image->setPixmap(form->style()
                             ->standardIcon(IconOf(kind), nullptr, form.get())
                             .pixmap(layout.iconRect->size()));
    }

    auto* message = new QLabel(form.get());
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setText(msg);
    message->setGeometry(layout.messageRect);
    form->message_ = message;

    const auto defaultKind = DefaultButtonOf(buttons);
    const auto cancelKind = CancelButtonOf(buttons);
    QPushButton* defaultButton = nullptr;
    for (const MsgButtonPlace& place : layout.buttons) {
        auto* button = new QPushButton(ButtonCaption(place.kind), form.get());
        button->setObjectName(ButtonName(place.kind));
        button->setGeometry(place.rect);
        button->setAutoDefault(true);
        const int result = ButtonModalResult(place.kind);
        TMsgForm* raw = form.get();
        if (place.kind == TMsgButtonKind::mbkHelp) {
            QObject::connect(button, &QPushButton::clicked, raw, [raw] {
                if (raw->HelpContext() != -1) {
                    emit raw->helpRequested(raw->HelpContext());
                }
            });
        } else {
            QObject::connect(button, &QPushButton::clicked, raw,
                             [raw, result] { raw->done(result); });
        }
        if (place.kind == defaultKind) {
            button->setDefault(true);
            defaultButton = button;
        }
        if (place.kind == cancelKind) {
            form->cancelButton_ = button;
        }
        form->buttons_.push_back(button);
    }
    if (defaultButton) {
        defaultButton->setFocus();
    }
    return form;
}

int ShowMsgForm(const QString& msg, const QString& caption, TMsgDlgKind kind,
                const TMsgButtonKinds& buttons, bool showHint, int helpContext,
                const QString& helpFile, FormPosition position, int x, int y) {
    auto form = CreateMsgForm(msg, kind, buttons, showHint);
    form->SetHelpContext(helpContext);
    form->SetShowHint(showHint);
    form->SetHelpFile(helpFile);
    if (!caption.isEmpty()) {
        form->setWindowTitle(caption);
    }
    if (x >= 0) {
        form->move(x, form->y());
    }
    if (y >= 0) {
        form->move(form->x(), y);
    }
    // Both placements come out at the screen's centre, which the form already has.
    (void)position;
    return form->exec();
}

namespace {

int ShowWrapped(const QString& msg, const QString& caption, TMsgDlgKind kind,
                const TMsgButtonKinds& buttons) {
    return ShowMsgForm(msg, caption, kind, buttons, true, 0, QString(),
                       FormPosition::poScreenCenter, -1, -1);
}

}  // namespace

void ShowPlainMsg(const QString& msg) {
    ShowWrapped(msg, QString(), TMsgDlgKind::mkCustom, {TMsgButtonKind::mbkOK});
}

void ShowInfoMsg(const QString& msg, const QString& caption) {
    ShowWrapped(msg, caption, TMsgDlgKind::mkInformation, {TMsgButtonKind::mbkOK});
}

void ShowErrorMsg(const QString& msg, const QString& caption) {
    ShowWrapped(msg, caption, TMsgDlgKind::mkError, {TMsgButtonKind::mbkOK});
}

void ShowWarningMsg(const QString& msg, const QString& caption) {
    ShowWrapped(msg, caption, TMsgDlgKind::mkWarning, {TMsgButtonKind::mbkOK});
}

bool AskYesNo(const QString& msg, const QString& caption) {
    return ShowWrapped(msg, caption, TMsgDlgKind::mkInformation,
                       {TMsgButtonKind::mbkYes, TMsgButtonKind::mbkNo}) == mrYes;
}

bool AskWarningYesNo(const QString& msg, const QString& caption) {
    return ShowWrapped(msg, caption, TMsgDlgKind::mkWarning,
                       {TMsgButtonKind::mbkYes, TMsgButtonKind::mbkNo}) == mrYes;
}

}  // namespace app
