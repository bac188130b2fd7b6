#pragma once
// A single-line edit box with the decorations the system uses: an attached label, a greyed
// prompt while empty, fixed texts before and after the text, focus, error, modification and
// disabled colours with validation, a wavy error marker, a web-address look, clipboard and mouse
// events, and the keys of the place-search box (Enter raises enterPressed, Ctrl+Enter is
// swallowed, Esc puts back the text the box had when it got the focus).
#include <QColor>
#include <QFlags>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QUrl>
#include <functional>

#include "label_position.h"

namespace app {

enum class FontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)

class DecoratedEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit DecoratedEdit(QWidget* parent = nullptr);

    // The text without the fixed parts: a leading Prefix is dropped when the window text
    // begins with it, and as many last characters as Suffix has, whatever they are. SetText
    // writes Prefix + value + Suffix and clears Modified.
    QString Text() const;
    void SetText(const QString& value);
    void Clear() { SetText(QString()); }
    // The caret and selections stay between the two; changing either keeps the text.
    QString Prefix() const { return prefix_; }
    void SetPrefix(const QString& prefix);
    QString Suffix() const { return suffix_; }
    void SetSuffix(const QString& suffix);

    // The label is made on the first caption and follows the box's visibility and enabling.
    void SetLabelCaption(const QString& caption);
    QLabel* EditLabel() const { return label_; }
    void SetLabelPosition(TLabelPosition position);
    void SetLabelMargin(int margin);
    // FocusLabel: the label is bold while the box has the focus.
    bool focusLabel = false;
    // Pixels the box widens while it has the focus.
    int focusWidthInc = 0;

    // The prompt, drawn in gray with its own font styles while the box is empty; it hides
    // while the box has the focus unless EmptyTextFocused.
    void SetEmptyText(const QString& text);
    QString EmptyText() const { return emptyText_; }
    void SetEmptyTextFocused(bool on);
    bool EmptyTextFocused() const { return emptyTextFocused_; }
    void SetEmptyTextStyle(FontStyles styles);
    FontStyles EmptyTextStyle() const { return emptyTextStyle_; }

    // Colours; an invalid colour means "none". Assign them before the box is shown.
    QColor focusColor;
    QColor focusFontColor;
    QColor errorColor = QColor(0xFF, 0, 0);
    QColor errorFontColor = Qt::white;
    bool canUndo = true;
    // The background the box returns to (the parent's base colour when none is set).
    void SetColor(const QColor& colour);
    // The background while disabled (silver), and a silver frame then with DisabledBorder.
    void SetDisabledColor(const QColor& colour);
    QColor DisabledColor() const { return disabledColor_; }
    void SetDisabledBorder(bool on);
    bool DisabledBorder() const { return disabledBorder_; }

    // Modified: the text was edited since it was last set. With ShowModified the font shows
    // modifiedColor while it is. It does not change while the box is read-only.
    bool Modified() const { return modified_; }
    void SetModified(bool modified);
    void SetShowModified(bool on);
    bool ShowModified() const { return showModified_; }
    QColor modifiedColor;  // the palette's highlight colour at first

    // With TabOnFullLength, the focus moves to the next control when typing or a paste makes
    // the text LengthLimit characters long with the caret at its end.
    int lengthLimit = 0;
    bool tabOnFullLength = false;

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

    // Selection helpers. SelectAll takes the text between the fixed parts (with ShowURL, from
    // after "://" or "mailto:"); the decimal helpers put the caret before or after the first
    // decimal separator of the locale in the text, or at the text's start when there is none.
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    // Positions in the window text: its width in pixels, the character at a point of the box,
    // and the top-left point of a character.
    int GetTextSize() const;
    int CharFromPos(const QPoint& point);  // not const: QLineEdit's own query is not
    QPoint PosFromChar(int index) const;

    // Clipboard events: each gets the selected text (a paste the text it would make) and may
    // refuse by setting `allow` false. Keys and the context menu go through them alike.
    std::function<void(const QString& value, bool& allow)> onClipboardCopy;
    std::function<void(const QString& value, bool& allow)> onClipboardCut;
    std::function<void(const QString& value, bool& allow)> onClipboardPaste;
    void Copy();
    void Cut();
    // The clipboard's text up to its first line break.
    void Paste();

    // AutoFocus: the box takes the focus when the mouse enters it while its window is active.
    bool autoFocus = false;

  signals:
    // Enter without Ctrl (the character itself is swallowed).
    void enterPressed();
    void mouseEnter();
    void mouseLeave();
    void labelClicked();
    void labelDoubleClicked();

  protected:
    // Esc first asks the subclass to close its drop-down; true when it did.
    virtual bool HideDropDown() { return false; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // True when the last mouse release was taken as a click on the shown address.
    bool UrlClicked() const { return urlClicked_; }

  private:
    void ApplyColours();
    void ApplyUrlLook();
    void PlaceLabel();
    void SetLabelBold(bool bold);
    void KeepCaretInText();
    void PasteText(QString text);
    void TabWhenFull();
    void PutCaretAtDecimal(bool after);
    void DrawPrompt(QPainter& painter) const;
    void DrawErrorMarker(QPainter& painter) const;
    int TextStart() const { return static_cast<int>(prefix_.size()); }
    int TextEnd() const;

    QPointer<QLabel> label_;
    TLabelPosition labelPosition_ = TLabelPosition::lpLeftTop;
    int labelMargin_ = 4;
    QString prefix_;
    QString suffix_;
    QString emptyText_;
    bool emptyTextFocused_ = false;
    FontStyles emptyTextStyle_;
    QColor normalColor_;
    QColor disabledColor_ = QColor(0xC0, 0xC0, 0xC0);
    bool disabledBorder_ = true;
    bool modified_ = false;
    bool showModified_ = false;
    bool showError_ = false;
    bool error_ = false;
    int markerPos_ = 0;
    int markerLen_ = 0;
    QString origText_;
    bool showUrl_ = false;
    bool isUrl_ = false;
    bool urlClicked_ = false;
    bool keepingCaret_ = false;
    bool applyingColours_ = false;
    bool widened_ = false;
    // A left press inside the selection waits for its release (the selection stays).
    bool buttonDown_ = false;
};

}  // namespace app
