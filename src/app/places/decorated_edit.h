#pragma once
// A single-line edit box with the decorations the system uses: an attached label, a greyed
// prompt while empty, fixed texts before and after the text, focus, error, modification and
// disabled colours with validation, a flat look with a line or a soft frame, drawn frames and
// 3-D edges, a transparent look, a wavy error marker, a web-address look, clipboard and mouse
// events, and the keys of the place-search box (Enter raises enterPressed, Ctrl+Enter is
// swallowed, Esc puts back the text the box had when it got the focus).
#include <QColor>
#include <QFlags>
#include <QFont>
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

// The box's label: with AlwaysEnable it stays enabled while the box is disabled.
class TEditLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TEditLabel(QWidget* parent) : QLabel(parent) {}
    void SetAlwaysEnable(bool on);
    bool AlwaysEnable() const { return alwaysEnable_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    bool alwaysEnable_ = false;
};

class DecoratedEdit : public QLineEdit {
    Q_OBJECT
    // The decorations by their names, for forms and tables of settings.
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QColor FlatLineColor READ FlatLineColor WRITE SetFlatLineColor)
    Q_PROPERTY(bool FlatParentColor READ FlatParentColor WRITE SetFlatParentColor)
    Q_PROPERTY(bool SoftBorder READ SoftBorder WRITE SetSoftBorder)
    Q_PROPERTY(bool Border3D READ Border3D WRITE SetBorder3D)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(QColor FocusBorderColor READ FocusBorderColor WRITE SetFocusBorderColor)
    Q_PROPERTY(bool FocusBorder READ FocusBorder WRITE SetFocusBorder)
    Q_PROPERTY(bool DisabledBorder READ DisabledBorder WRITE SetDisabledBorder)
    Q_PROPERTY(QColor DisabledColor READ DisabledColor WRITE SetDisabledColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool HintShowLargeText MEMBER hintShowLargeText)
    Q_PROPERTY(QString EmptyText READ EmptyText WRITE SetEmptyText)
    Q_PROPERTY(bool EmptyTextFocused READ EmptyTextFocused WRITE SetEmptyTextFocused)
    Q_PROPERTY(QColor FocusColor MEMBER focusColor)
    Q_PROPERTY(QColor FocusFontColor MEMBER focusFontColor)
    Q_PROPERTY(QColor ErrorColor MEMBER errorColor)
    Q_PROPERTY(QColor ErrorFontColor MEMBER errorFontColor)
    Q_PROPERTY(bool ShowURL READ ShowURL WRITE SetShowURL)
    Q_PROPERTY(QColor URLColor READ URLColor WRITE SetURLColor)
    Q_PROPERTY(bool CanUndo MEMBER canUndo)
    Q_PROPERTY(bool AutoFocus MEMBER autoFocus)
    Q_PROPERTY(QString LabelCaption READ LabelCaption WRITE SetLabelCaption)
    Q_PROPERTY(int LabelMargin READ LabelMargin WRITE SetLabelMargin)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE SetLabelFont)
    Q_PROPERTY(bool LabelTransparent READ LabelTransparent WRITE SetLabelTransparent)
    Q_PROPERTY(bool LabelAlwaysEnabled READ LabelAlwaysEnabled WRITE SetLabelAlwaysEnabled)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)

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

    // "1.0.0.0", from the version number's four bytes; writing it changes nothing.
    virtual quint32 VersionNumber() const { return 0x01000000; }
    QString Version() const;
    void SetVersion(const QString&) {}

    // The label is made on the first caption and follows the box's visibility and enabling
    // (unless LabelAlwaysEnabled). Its font is LabelFont, or the parent's with ParentFont.
    void SetLabelCaption(const QString& caption);
    QString LabelCaption() const { return label_ ? label_->text() : QString(); }
    TEditLabel* EditLabel() const { return label_; }
    void SetLabelPosition(TLabelPosition position);
    TLabelPosition LabelPosition() const { return labelPosition_; }
    void SetLabelMargin(int margin);
    int LabelMargin() const { return labelMargin_; }
    void SetLabelFont(const QFont& font);
    QFont LabelFont() const { return labelFont_; }
    // A transparent label shows what its parent draws under it; else it fills its background.
    void SetLabelTransparent(bool on);
    bool LabelTransparent() const { return labelTransparent_; }
    void SetLabelAlwaysEnabled(bool on);
    bool LabelAlwaysEnabled() const { return labelAlwaysEnabled_; }
    // ParentFont: the box and its label take the parent's font (true at first); setting it
    // false gives the label LabelFont.
    void SetParentFont(bool on);
    bool ParentFont() const { return parentFont_; }
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
    QColor Color() const { return normalColor_; }
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

    QColor URLColor() const { return urlColor; }
    void SetURLColor(const QColor& colour);

    // The flat look: no frame, the parent's colour as background (with FlatParentColor), the
    // text rectangle 4 pixels in from the sides, 3 from the top and 4 from the bottom, and a
    // line in FlatLineColor along the last pixel row (none without a colour), or with
    // SoftBorder a full frame. Switching it off brings the frame back.
    void SetFlat(bool on);
    bool Flat() const { return flat_; }
    void SetFlatLineColor(const QColor& colour);
    QColor FlatLineColor() const { return flatLineColor_; }
    void SetFlatParentColor(bool on);
    bool FlatParentColor() const { return flatParentColor_; }
    void SetSoftBorder(bool on);
    bool SoftBorder() const { return softBorder_; }
    // Pixels the text rectangle keeps free on the left and the right (0 at first), for
    // boxes that draw something beside their text.
    void SetTextIndents(int left, int right);
    // The rectangle the text is laid out in.
    QRect TextRect() const;

    // Frames: a 1-pixel frame in BorderColor, or in FocusBorderColor while focused; a sunken
    // 3-D edge with Border3D; with FocusBorder the edge shows while the mouse is over the box or
    // it has the focus. The plain "Windows" style draws no state frames of its own, so only
    // there does the box draw FocusBorder's edge; the other styles show their own.
    void SetBorder3D(bool on);
    bool Border3D() const { return border3D_; }
    void SetBorderColor(const QColor& colour);
    QColor BorderColor() const { return borderColor_; }
    void SetFocusBorderColor(const QColor& colour);
    QColor FocusBorderColor() const { return focusBorderColor_; }
    void SetFocusBorder(bool on);
    bool FocusBorder() const { return focusBorder_; }
    bool IsThemed() const;

    // Transparent: the parent shows through the box's background.
    void SetTransparent(bool on);
    bool Transparent() const { return transparent_; }

    // An extra caret line, one pixel wide and the font's height, ending at `point`;
    // (-1, -1) draws none.
    void SetCaretPos(const QPoint& point);
    QPoint CaretPos() const { return caretPos_; }

    // With HintShowLargeText, the hint of a text wider than the box is the whole text, shown at
    // the box's top-left corner.
    bool hintShowLargeText = false;
    QLabel* LargeTextHint() const { return largeHint_; }

    // Recomputes the colours, the flat look and the label after the settings were made.
    void Init();

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

    bool event(QEvent* event) override;
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
    void KeepCaretInText();
    void PasteText(QString text);
    void TabWhenFull();
    void PutCaretAtDecimal(bool after);
    void ApplyLabelFont();
    void ApplyTextRect();
    bool ShowLargeTextHint();
    void HideLargeTextHint();
    void DrawFlatLine(QPainter& painter) const;
    void DrawBorder(QPainter& painter) const;
    bool BorderWanted() const;
    void DrawCaretLine(QPainter& painter) const;
    void DrawPrompt(QPainter& painter) const;
    void DrawErrorMarker(QPainter& painter) const;
    int TextStart() const { return static_cast<int>(prefix_.size()); }
    int TextEnd() const;

    QPointer<TEditLabel> label_;
    TLabelPosition labelPosition_ = TLabelPosition::lpLeftTop;
    int labelMargin_ = 4;
    QFont labelFont_;
    bool labelTransparent_ = false;
    bool labelAlwaysEnabled_ = false;
    bool parentFont_ = true;
    bool flat_ = false;
    QColor flatLineColor_ = Qt::black;
    bool flatParentColor_ = true;
    bool softBorder_ = false;
    // The frame to bring back when the flat look goes.
    bool oldFrame_ = true;
    // The flat text rectangle is also taken by a frameless box that draws a prompt or a focus
    // border once it had the focus.
    bool flatRect_ = false;
    int indentL_ = 0;
    int indentR_ = 0;
    bool border3D_ = false;
    QColor borderColor_;
    QColor focusBorderColor_;
    bool focusBorder_ = false;
    bool mouseInControl_ = false;
    bool transparent_ = false;
    QPoint caretPos_{-1, -1};
    QPointer<QLabel> largeHint_;
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
