// Qt's own dialogs speak Chinese with the rest of the interface.
#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTranslator>
#include <memory>

#include <gtest/gtest.h>

#include "app/frame/qt_translations.h"

namespace {

QStringList ButtonTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text();
    return texts;
}

TEST(QtTranslations, FileDialogsSpeakChinese) {
    std::unique_ptr<QTranslator> translator(app::InstallQtTranslations(*qApp));
    ASSERT_NE(translator, nullptr) << "Qt's translations (package qt6-translations-l10n)";
    {
        QFileDialog dialog(nullptr, QString(), QString());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        const QStringList texts = ButtonTexts(dialog);
        EXPECT_TRUE(texts.contains(QStringLiteral("取消"))) << texts.join('|').toStdString();
        EXPECT_FALSE(texts.contains(QStringLiteral("Cancel")));
    }
    QCoreApplication::removeTranslator(translator.get());
}

}  // namespace
