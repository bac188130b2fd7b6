#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "page_helpers.h"
#include "settings_pages.h"
#include "skin_manager.h"
#include "style_preview.h"

namespace app {

SkinPage::SkinPage(SkinManager& skins, QWidget* parent) : QWidget(parent), skins_(skins) {
    setObjectName(QStringLiteral("tsSkin"));
    cbbStyles_ = Named(new QComboBox(this), "cbbStyles");
    pnlPreview_ = Named(new QWidget(this), "pnlPreview");
    auto* panel = new QVBoxLayout(pnlPreview_);
    caption_ = new QLabel(QStringLiteral("Windows风格"), pnlPreview_);
    caption_->setAlignment(Qt::AlignCenter);
    panel->addWidget(caption_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("更改界面样式"), cbbStyles_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(pnlPreview_, 1);
    connect(cbbStyles_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (stylesLoaded_) {
            PreviewStyle(name);  // cbbStylesChange
        }
    });
}

void SkinPage::Show(const SettingsForm& form) {
    styleName_ = form.styleName;
    if (stylesLoaded_) {
        cbbStyles_->setCurrentText(styleName_);
    }
}

void SkinPage::Collect(SettingsForm& form) const {
    form.stylesLoaded = stylesLoaded_;
    form.styleName = stylesLoaded_ ? cbbStyles_->currentText() : styleName_;
}

void SkinPage::EnsureLoaded() {
    if (stylesLoaded_) {
        return;
    }
    preview_ = Named(new TVclStylesPreview(pnlPreview_), "FPreview");
    pnlPreview_->layout()->addWidget(preview_);
    const QStringList names = skins_.StyleNames();
    cbbStyles_->addItems(names);
    const int index = static_cast<int>(names.indexOf(styleName_));
    cbbStyles_->setCurrentIndex(index < 0 ? 0 : index);
    cbbStyles_->setMaxVisibleItems(static_cast<int>(names.size()));
    stylesLoaded_ = true;
    PreviewStyle(cbbStyles_->currentText());
}

void SkinPage::PreviewStyle(const QString& name) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Skin* skin = name.compare(QLatin1String(kSystemStyleName), Qt::CaseInsensitive) == 0
                           ? nullptr
                           : skins_.Find(name);
    if (skin != nullptr) {
        preview_->SetCaption(QApplication::applicationDisplayName());
        preview_->SetStyle(skin);
        preview_->show();
        caption_->hide();
    } else {
        preview_->hide();
        caption_->show();
    }
    QApplication::restoreOverrideCursor();
}

}  // namespace app
