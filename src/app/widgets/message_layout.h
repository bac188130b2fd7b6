#pragma once
// What the system's message dialog shows and how it is laid out, as plain values: kinds,
// buttons, captions, results, the layout from font metrics, the Ctrl+C text. The window in
// custom_dialogs.h only places widgets from these figures.
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace app {

enum class TMsgDlgKind { mkWarning, mkError, mkInformation, mkConfirmation, mkCustom };

// In layout order: a dialog's buttons always appear in this order.
enum class TMsgButtonKind {
    mbkYes,
    mbkNo,
    mbkOK,
    mbkCancel,
    mbkAbort,
    mbkRetry,
    mbkIgnore,
    mbkAll,
    mbkNoToAll,
    mbkYesToAll,
    mbkHelp
};
constexpr int kMsgButtonKindCount = 11;

// Modal results of the dialog's buttons (mrNone keeps the dialog open).
enum DialogResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

// A set of button kinds.
class TMsgButtonKinds {
  public:
    TMsgButtonKinds() = default;
    TMsgButtonKinds(std::initializer_list<TMsgButtonKind> kinds);
    bool Contains(TMsgButtonKind kind) const { return (bits_ >> static_cast<int>(kind)) & 1u; }
    void Insert(TMsgButtonKind kind) { bits_ |= 1u << static_cast<int>(kind); }
    // The members in layout order.
    std::vector<TMsgButtonKind> InOrder() const;
    int Count() const;

  private:
    std::uint32_t bits_ = 0;
};

// The kind's caption; mkCustom takes the application's title.
QString KindCaption(TMsgDlgKind kind, const QString& applicationTitle);
bool KindHasIcon(TMsgDlgKind kind);

QString ButtonName(TMsgButtonKind kind);     // component name: "Yes", "NoToAll", ...
QString ButtonCaption(TMsgButtonKind kind);  // with its "&" accelerator: "是(&Y)"
int ButtonModalResult(TMsgButtonKind kind);

// The default (Enter) and cancel (Esc) buttons of a set; nothing when the set lacks them.
std::optional<TMsgButtonKind> DefaultButtonOf(const TMsgButtonKinds& buttons);
std::optional<TMsgButtonKind> CancelButtonOf(const TMsgButtonKinds& buttons);

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// Dialog-unit figures from the average character width and the character height.
struct MsgMetrics {
    int horzMargin = 0;
    int vertMargin = 0;
    int horzSpacing = 0;
    int vertSpacing = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int buttonSpacing = 0;
};
MsgMetrics DeriveMetrics(int averageCharWidth, int charHeight);

// Caption widths per button kind, measured by the first dialog that shows a kind and reused
// by every later one for the rest of the process, whatever its font.
class ButtonWidthCache {
  public:
    // The stored width, measuring (caption width + 35) on first use.
    int Width(TMsgButtonKind kind, const std::function<int(TMsgButtonKind)>& measureCaption);
    static ButtonWidthCache& Process();

  private:
    std::array<int, kMsgButtonKindCount> widths_{};
};

struct MsgLayoutInput {
    int averageCharWidth = 0;  // width of "A".."Z","a".."z" divided by 52
    int charHeight = 0;        // that string's height
    QRect measuredText;        // the message measured with word breaks at half the screen
    TMsgDlgKind kind = TMsgDlgKind::mkInformation;
    TMsgButtonKinds buttons;
    int screenWidth = 0;
    int screenHeight = 0;
    bool rightToLeft = false;
};

struct MsgButtonPlace {
    TMsgButtonKind kind;
    QRect rect;
};

struct MsgLayout {
    MsgMetrics metrics;
    int buttonWidth = 0;
    int buttonGroupWidth = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int left = 0;
    int top = 0;
    std::optional<QRect> iconRect;
    QRect messageRect;
    std::vector<MsgButtonPlace> buttons;
};

// Layout of a dialog; the caption width of a button kind comes from the cache.
MsgLayout ComputeMsgLayout(const MsgLayoutInput& input, ButtonWidthCache& cache,
                           const std::function<int(TMsgButtonKind)>& measureCaption);

// The Ctrl+C text: caption, message and button captions between dividers of 27 hyphens,
// CR LF line ends, each button caption followed by three blanks, every "&" removed.
QString GetDialogText(const QString& caption, const QString& message,
                      const QStringList& buttonCaptions);

}  // namespace app
