#pragma once
// A single-line edit box with the decorations the system uses: an attached label, a greyed
// prompt while empty, focus and error colours with validation, a wavy error marker, and the
// keys of the place-search box (Enter raises enterPressed, Ctrl+Enter is swallowed, Esc puts
// back the text the box had when it got the focus).
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QUrl>
#include <functional>

#include "mainwindow/places/label_position.h"

namespace mainwindow {

class DecoratedEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit DecoratedEdit(QWidget* parent = nullptr);

    // The label is made on the first caption and follows the box's visibility and enabling.
    void SetLabelCaption(const QString& caption);
    QLabel* EditLabel() const { return label_; }
    void SetLabelPosition(TLabelPosition position);
    void SetLabelMargin(int margin);

    void SetEmptyText(const QString& text) { setPlaceholderText(text); }
    QString EmptyText() const { return placeholderText(); }

    // Colours; an invalid colour means "none".
    QColor focusColor;
    QColor focusFontColor;
    QColor errorColor = QColor(0xFF, 0, 0);
    QColor errorFontColor = Qt::white;
    bool canUndo = true;

    // With ShowError, every change validates the text and sets IsError.
    void SetShowError(bool on);
    std::function<bool(const QString&)> onValueValidate;
    bool ValidateText(const QString& text) const;
    void SetIsError(bool error);
    bool IsError() const { return error_; }

    // A wavy red line under characters pos .. pos + len - 1, drawn while unfocused.
    void SetErrorMarker(int pos, int len);
    int ErrorMarkerPos() const { return markerPos_; }
    int ErrorMarkerLen() const { return markerLen_; }

    // The web-address look: with ShowURL, a text that TextIsURL underlines in urlColor, and a
    // click on it opens it through `openUrl` (after onURLClick, which may veto it).
    void SetShowURL(bool on);
    bool ShowURL() const { return showUrl_; }
    QColor urlColor = QColor(0, 0, 0xFF);
    std::function<void(const QString& url, bool& show)> onURLClick;
    std::function<bool(const QUrl&)> openUrl;
    static bool TextIsURL(const QString& text);
    // Only http, https and mailto addresses are opened ("www." as http); nothing else.
    static QUrl UrlToOpen(const QString& text);

    // The text when the box last got the focus.
    QString OrigText() const { return origText_; }
    // SetEditText: sets the text and OrigText.
    void SetEditText(const QString& value);

  signals:
    // Enter without Ctrl (the character itself is swallowed).
    void enterPressed();

  protected:
    // Esc first asks the subclass to close its drop-down; true when it did.
    virtual bool HideDropDown() { return false; }

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // True when the last mouse release was taken as a click on the shown address.
    bool UrlClicked() const { return urlClicked_; }

  private:
    void ApplyColours();
    void ApplyUrlLook();
    void PlaceLabel();

    QPointer<QLabel> label_;
    TLabelPosition labelPosition_ = TLabelPosition::lpLeftTop;
    int labelMargin_ = 4;
    bool showError_ = false;
    bool error_ = false;
    int markerPos_ = 0;
    int markerLen_ = 0;
    QString origText_;
    bool showUrl_ = false;
    bool isUrl_ = false;
    bool urlClicked_ = false;
};

}  // namespace mainwindow
