// The save dialog with the coordinate-type row, driven without its modal loop.
#include "app/tools/text_file_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using geodata_ui::TSaveTextFileDialog;

QStringList CoordTypes() {
    return {QStringLiteral("GPS坐标"), QStringLiteral("百度坐标 "), QStringLiteral("谷歌坐标")};
}

TEST(TextFileDialog, CoordinateRowIsFilledAndReadBack) {
    testsupport::TempDir dir;
    TSaveTextFileDialog dlg;
    dlg.request.filter = QStringLiteral("Google Earth (*.kmz)|*.kmz|Microsoft Excel (*.xls)|*.xls");
    dlg.request.filterIndex = 2;
    dlg.request.defaultExt = QStringLiteral("kmz");
    dlg.request.encodings = CoordTypes();
    dlg.request.initialDir = QString::fromStdString(dir.path().string());

    auto dialog = dlg.Build(nullptr);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("EncodingLabel"));
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("EncodingCombo"));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("坐标类型(&C):"));
    EXPECT_EQ(label->buddy(), combo);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0) << "GPS坐标 first";
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Microsoft Excel (*.xls *.XLS)"));

    // Cancelled: the chosen type is kept all the same.
    combo->setCurrentIndex(2);
    EXPECT_FALSE(dlg.Finish(*dialog, false));
    EXPECT_EQ(dlg.request.encodingIndex, 2);

    // The next opening preselects it; a confirmed name comes back with its filter.
    auto again = dlg.Build(nullptr);
    EXPECT_EQ(again->findChild<QComboBox*>(QStringLiteral("EncodingCombo"))->currentIndex(), 2);
    again->selectNameFilter(QStringLiteral("Google Earth (*.kmz *.KMZ)"));
    again->selectFile(QString::fromStdString((dir / "places.kmz").string()));
    ASSERT_TRUE(dlg.Finish(*again, true));
    EXPECT_EQ(dlg.request.filterIndex, 1);
    EXPECT_EQ(dlg.request.fileName, QString::fromStdString((dir / "places.kmz").string()));
}

TEST(TextFileDialog, ANameWithoutExtensionTakesTheChosenType) {
    testsupport::TempDir dir;
    TSaveTextFileDialog dlg;
    dlg.request.filter = QStringLiteral(
        "Microsoft Excel (*.xls)|*.xls|文本文件(*.txt)|*.txt|Google Earth (*.kml)|*.kml|GeoJSON "
        "(*.json)|*.json");
    dlg.request.defaultExt = QStringLiteral("kml");
    const QString bare = QString::fromStdString((dir / "南京市玄武区").string());
    // The filter chosen at opening, then one the user picks in the dialog.
    const struct {
        int opened;
        int picked;  // 0: none
        const char* suffix;
    } cases[] = {{3, 0, ".kml"}, {1, 0, ".xls"}, {3, 4, ".json"}, {4, 2, ".txt"}};
    for (const auto& c : cases) {
        dlg.request.filterIndex = c.opened;
        dlg.request.fileName = bare;
        auto dialog = dlg.Build(nullptr);
        if (c.picked > 0) {
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            types->setCurrentIndex(c.picked - 1);
            // What a choice in the list sends.
            emit types->activated(c.picked - 1);
            emit types->textActivated(types->currentText());
        }
        ASSERT_TRUE(dlg.Finish(*dialog, true));
        EXPECT_EQ(dlg.request.fileName.toStdString(),
                  (bare + QString::fromLatin1(c.suffix)).toStdString())
            << c.opened << " " << c.picked;
        EXPECT_EQ(dlg.request.filterIndex, c.picked > 0 ? c.picked : c.opened);
    }
    // A typed extension stays as typed.
    dlg.request.filterIndex = 4;
    dlg.request.fileName = bare + QStringLiteral(".geojson");
    auto dialog = dlg.Build(nullptr);
    ASSERT_TRUE(dlg.Finish(*dialog, true));
    EXPECT_EQ(dlg.request.fileName, bare + QStringLiteral(".geojson"));
}

TEST(TextFileDialog, DefaultEntries) {
    TSaveTextFileDialog dlg;
    EXPECT_EQ(dlg.request.encodings,
              (QStringList{"ANSI", "ASCII", "Unicode", "Big Endian Unicode", "UTF-8", "UTF-7"}));
    auto dialog = dlg.Build(nullptr);
    EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("EncodingCombo"))->count(), 6);
}

}  // namespace
