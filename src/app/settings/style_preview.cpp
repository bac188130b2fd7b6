#include "style_preview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>
#include <QVBoxLayout>

#include "skin_file.h"

namespace app {
namespace {

// The skin's window colours as style-sheet rules of the miniature: a style sheet of the
// program (the skin in force) would otherwise paint the miniature in its own colours.
QString PaletteRules(const QPalette& p) {
    const auto name = [&p](QPalette::ColorRole role) { return p.color(role).name(); };
    return QStringLiteral(
               "#previewWindow { background-color: %1; color: %2; border: 1px solid %3; }\n"
               "#previewWindow QLabel { color: %2; background: transparent; }\n"
               "#previewCaption { background-color: %4; }\n"
               "#previewCaption QLabel { color: %5; }\n"
               "#previewCaption QToolButton { padding: 0px; }\n")
        .arg(name(QPalette::Window), name(QPalette::WindowText), name(QPalette::Dark),
             name(QPalette::Highlight), name(QPalette::HighlightedText));
}

}  // namespace

TVclStylesPreview::TVclStylesPreview(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

// The miniature's widgets use style_, so they go first.
TVclStylesPreview::~TVclStylesPreview() {
    delete window_;
}

void TVclStylesPreview::BuildWindow() {
    window_ = new QWidget(this);
    window_->setObjectName(QStringLiteral("previewWindow"));
    window_->setAttribute(Qt::WA_StyledBackground);
    auto* frame = new QVBoxLayout(window_);
    frame->setContentsMargins(4, 0, 4, 4);
    frame->setSpacing(1);

    auto* captionBar = new QWidget(window_);
    captionBar->setObjectName(QStringLiteral("previewCaption"));
    captionBar->setAttribute(Qt::WA_StyledBackground);
    auto* captionRow = new QHBoxLayout(captionBar);
    captionRow->setContentsMargins(8, 2, 2, 2);
    caption_ = new QLabel(captionBar);
    captionRow->addWidget(caption_, 1);
    for (const char* glyph : {"–", "□", "×"}) {
        auto* button = new QToolButton(captionBar);
        button->setText(QString::fromUtf8(glyph));
        button->setAutoRaise(true);
        button->setFixedSize(26, 20);
        captionRow->addWidget(button);
    }
    frame->addWidget(captionBar);

    auto* menu = new QMenuBar(window_);
    menu->setNativeMenuBar(false);
    for (const char* item :
         {"文件(&F)", "查看(&V)", "地图(&D)", "工具(&T)", "游戏(&G)", "帮助(&H)"}) {
        menu->addMenu(QString::fromUtf8(item));
    }
    frame->addWidget(menu);
    frame->addStretch();

    auto* buttons = new QHBoxLayout;
    const char* captions[] = {"Normal", "Hot", "Pressed", "Disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QLatin1String(captions[i]), window_);
        button->setFixedSize(75, 25);
        if (i == 1) {
            button->setAttribute(Qt::WA_UnderMouse, true);
        } else if (i == 2) {
            button->setDown(true);
        } else if (i == 3) {
            button->setEnabled(false);
        }
        buttons->addWidget(button);
    }
    buttons->addStretch();
    frame->addLayout(buttons);
    frame->addSpacing(20);
    layout()->addWidget(window_);
}

void TVclStylesPreview::SetStyle(const Skin* skin) {
    if (skin == nullptr) {
        if (window_ != nullptr) {
            window_->hide();
        }
        return;
    }
    if (window_ == nullptr) {
        BuildWindow();
    }
    std::unique_ptr<QStyle> style(QStyleFactory::create(skin->baseStyle));
    window_->setStyleSheet(PaletteRules(skin->palette) + skin->styleSheet);
    window_->setPalette(skin->palette);
    const QList<QWidget*> children = window_->findChildren<QWidget*>();
    window_->setStyle(style.get());
    for (QWidget* child : children) {
        child->setStyle(style.get());
    }
    style_ = std::move(style);  // the old one is no longer used by any widget
    window_->show();
}

void TVclStylesPreview::SetCaption(const QString& caption) {
    if (window_ == nullptr) {
        BuildWindow();
        window_->hide();
    }
    caption_->setText(caption);
}

}  // namespace app
