#include "message_layout.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace app {
namespace {

struct ButtonInfo {
    const char* name;
    const char16_t* caption;
    int result;
};

constexpr std::array<ButtonInfo, kMsgButtonKindCount> kButtons = {{
    {"Yes", u"是(&Y)", mrYes},
    {"No", u"否(&N)", mrNo},
    {"OK", u"确定", mrOk},
    {"Cancel", u"取消", mrCancel},
    {"Abort", u"终止(&A)", mrAbort},
    {"Retry", u"重试(&R)", mrRetry},
    {"Ignore", u"忽略(&I)", mrIgnore},
    {"All", u"全部(&A)", mrAll},
    {"NoToAll", u"全否(&O)", mrNoToAll},
    {"YesToAll", u"全是(&A)", mrYesToAll},
    {"Help", u"帮助(&H)", mrNone},
}};

// A button's caption is measured with this margin, not the 8 a plain button would use.
constexpr int kButtonCaptionMargin = 35;
constexpr int kIconSize = 32;

const ButtonInfo& Info(TMsgButtonKind kind) {
    return kButtons[static_cast<int>(kind)];
}

}  // namespace

TMsgButtonKinds::TMsgButtonKinds(std::initializer_list<TMsgButtonKind> kinds) {
    for (auto kind : kinds) {
        Insert(kind);
    }
}

std::vector<TMsgButtonKind> TMsgButtonKinds::InOrder() const {
    std::vector<TMsgButtonKind> result;
    for (int i = 0; i < kMsgButtonKindCount; ++i) {
        if (Contains(static_cast<TMsgButtonKind>(i))) {
            result.push_back(static_cast<TMsgButtonKind>(i));
        }
    }
    return result;
}

int TMsgButtonKinds::Count() const {
    return std::popcount(bits_);
}

QString KindCaption(TMsgDlgKind kind, const QString& applicationTitle) {
    switch (kind) {
        case TMsgDlgKind::mkWarning:
            return QStringLiteral("警告");
        case TMsgDlgKind::mkError:
            return QStringLiteral("错误");
        case TMsgDlgKind::mkInformation:
            return QStringLiteral("提示");
        case TMsgDlgKind::mkConfirmation:
            return QStringLiteral("信息");
        case TMsgDlgKind::mkCustom:
            break;
    }
    return applicationTitle;
}

bool KindHasIcon(TMsgDlgKind kind) {
    return kind != TMsgDlgKind::mkCustom;
}

QString ButtonName(TMsgButtonKind kind) {
    return QString::fromLatin1(Info(kind).name);
}

QString ButtonCaption(TMsgButtonKind kind) {
    return QString::fromUtf16(Info(kind).caption);
}

int ButtonModalResult(TMsgButtonKind kind) {
    return Info(kind).result;
}

std::optional<TMsgButtonKind> DefaultButtonOf(const TMsgButtonKinds& buttons) {
    for (auto kind : {TMsgButtonKind::mbkOK, TMsgButtonKind::mbkYes, TMsgButtonKind::mbkRetry}) {
        if (buttons.Contains(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<TMsgButtonKind> CancelButtonOf(const TMsgButtonKinds& buttons) {
    for (auto kind : {TMsgButtonKind::mbkCancel, TMsgButtonKind::mbkNo, TMsgButtonKind::mbkOK}) {
        if (buttons.Contains(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

MsgMetrics DeriveMetrics(int averageCharWidth, int charHeight) {
    MsgMetrics m;
    m.horzMargin = MulDiv(8, averageCharWidth, 4);
    m.vertMargin = MulDiv(8, charHeight, 8);
    m.horzSpacing = MulDiv(10, averageCharWidth, 4);
    m.vertSpacing = MulDiv(10, charHeight, 8);
    m.buttonWidth = MulDiv(50, averageCharWidth, 4);
    m.buttonHeight = MulDiv(14, charHeight, 8);
    m.buttonSpacing = MulDiv(4, averageCharWidth, 4);
    return m;
}

int ButtonWidthCache::Width(TMsgButtonKind kind,
                            const std::function<int(TMsgButtonKind)>& measureCaption) {
    int& width = widths_[static_cast<int>(kind)];
    if (width == 0) {
        width = measureCaption(kind) + kButtonCaptionMargin;
    }
    return width;
}

ButtonWidthCache& ButtonWidthCache::Process() {
    static ButtonWidthCache cache;
    return cache;
}

MsgLayout ComputeMsgLayout(const MsgLayoutInput& input, ButtonWidthCache& cache,
                           const std::function<int(TMsgButtonKind)>& measureCaption) {
    MsgLayout layout;
    layout.metrics = DeriveMetrics(input.averageCharWidth, input.charHeight);
    const MsgMetrics& m = layout.metrics;

    layout.buttonWidth = m.buttonWidth;
    const auto kinds = input.buttons.InOrder();
    for (auto kind : kinds) {
        layout.buttonWidth = std::max(layout.buttonWidth, cache.Width(kind, measureCaption));
    }

    int textWidth = input.measuredText.width();
    int textHeight = input.measuredText.height();
    const bool hasIcon = KindHasIcon(input.kind);
    if (hasIcon) {
        textWidth += kIconSize + m.horzSpacing;
        textHeight = std::max(textHeight, kIconSize);
    }

    const int n = static_cast<int>(kinds.size());
    layout.buttonGroupWidth = n > 0 ? n * layout.buttonWidth + (n - 1) * m.buttonSpacing : 0;
    layout.clientWidth = std::max(textWidth, layout.buttonGroupWidth) + 2 * m.horzMargin;
    layout.clientHeight = textHeight + m.buttonHeight + m.vertSpacing + 2 * m.vertMargin;
    layout.left = input.screenWidth / 2 - layout.clientWidth / 2;
    layout.top = input.screenHeight / 2 - layout.clientHeight / 2;

    if (hasIcon) {
        layout.iconRect = QRect(m.horzMargin, m.vertMargin, kIconSize, kIconSize);
    }
    int messageLeft = textWidth - input.measuredText.width() + m.horzMargin;
    if (input.rightToLeft) {
        messageLeft = layout.clientWidth - messageLeft - input.measuredText.width();
    }
    layout.messageRect =
        QRect(messageLeft, m.vertMargin, input.measuredText.width(), input.measuredText.height());

    int x = (layout.clientWidth - layout.buttonGroupWidth) / 2;
    const int y = textHeight + m.vertMargin + m.vertSpacing;
    for (auto kind : kinds) {
        layout.buttons.push_back({kind, QRect(x, y, layout.buttonWidth, m.buttonHeight)});
        x += layout.buttonWidth + m.buttonSpacing;
    }
    return layout;
}

QString GetDialogText(const QString& caption, const QString& message,
                      const QStringList& buttonCaptions) {
    const QString lineBreak = QStringLiteral("\r\n");
    const QString divider = QString(27, u'-') + lineBreak;
    QString buttons;
    for (const QString& text : buttonCaptions) {
        buttons += text + QStringLiteral("   ");
    }
    buttons.remove(u'&');
    return divider + caption + lineBreak + divider + message + lineBreak + divider + buttons +
           lineBreak + divider;
}

}  // namespace app
