#include "text_file_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include "app/widgets/file_filters.h"

namespace geodata_ui {
namespace {

// The row goes under the file-type row of the dialog's grid: the label in the label column,
// the drop-down spanning the file-type drop-down's columns, so it keeps its left edge and width.
QComboBox* AddEncodingRow(QFileDialog& dialog, const TextFileRequest& request) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    auto* label = new QLabel(QStringLiteral("坐标类型(&C):"), &dialog);
    label->setObjectName(QStringLiteral("EncodingLabel"));
    auto* combo = new QComboBox(&dialog);
    combo->setObjectName(QStringLiteral("EncodingCombo"));
    combo->setEditable(false);
    combo->addItems(request.encodings);
    combo->setCurrentIndex(request.encodingIndex);
    label->setBuddy(combo);
    if (grid == nullptr) {
        return combo;
    }
    // The file-type drop-down is the widget of the grid's last row, right of its label.
    int typeRow = grid->rowCount() - 1;
    int column = 1;
    int span = 1;
    if (QLayoutItem* item = grid->itemAtPosition(typeRow, column);
        item != nullptr && qobject_cast<QComboBox*>(item->widget()) != nullptr) {
        const int index = grid->indexOf(item->widget());
        int rowSpan = 1;
        grid->getItemPosition(index, &typeRow, &column, &rowSpan, &span);
    }
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, column, 1, span);
    return combo;
}

// "Name (*.kml *.KML)" -> "kml"; empty when the filter's first pattern is not "*.ext".
QString FilterSuffix(const QString& nameFilter) {
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        return {};
    }
    const QString first = nameFilter.mid(open + 1, close - open - 1)
                              .section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const QString ext = first.startsWith(QStringLiteral("*.")) ? first.mid(2) : QString();
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?'))) {
        return {};
    }
    return ext.toLower();
}

}  // namespace

QStringList TOpenTextFileDialog::DefaultEncodings() {
    return {QStringLiteral("ANSI"),    QStringLiteral("ASCII"),
            QStringLiteral("Unicode"), QStringLiteral("Big Endian Unicode"),
            QStringLiteral("UTF-8"),   QStringLiteral("UTF-7")};
}

TOpenTextFileDialog::TOpenTextFileDialog() {
    request.encodings = DefaultEncodings();
}

std::unique_ptr<QFileDialog> TOpenTextFileDialog::Build(QWidget* parent) const {
    auto dialog = std::make_unique<QFileDialog>(parent, request.caption, request.initialDir);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    if (SaveMode()) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.defaultExt.isEmpty()) {
        dialog->setDefaultSuffix(request.defaultExt);
    }
    const QStringList filters = app::QtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
            dialog->selectNameFilter(filters.at(request.filterIndex - 1));
        }
    }
    if (!request.fileName.isEmpty()) {
        dialog->selectFile(request.fileName);
    }
    // A name typed without extension takes the chosen file type's, so that a file never
    // carries the extension of another format than the one written into it.
    const auto followFilter = [dialog = dialog.get(),
                               fallback = request.defaultExt](const QString& nameFilter) {
        const QString suffix = FilterSuffix(nameFilter);
        dialog->setDefaultSuffix(suffix.isEmpty() ? fallback : suffix);
    };
    if (!filters.isEmpty()) {
        followFilter(dialog->selectedNameFilter());
    }
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(), followFilter);
    encodingCombo_ = AddEncodingRow(*dialog, request);
    return dialog;
}

bool TOpenTextFileDialog::Finish(QFileDialog& dialog, bool accepted) {
    if (encodingCombo_ && encodingCombo_->parent() == &dialog) {
        request.encodingIndex = encodingCombo_->currentIndex();
    }
    if (!accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QStringList filters = app::QtNameFilters(request.filter);
    const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0) {
        request.filterIndex = chosen + 1;
    }
    request.fileName = dialog.selectedFiles().first();
    return true;
}

bool TOpenTextFileDialog::Execute(QWidget* parent) {
    const auto dialog = Build(parent);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    return Finish(*dialog, accepted);
}

bool QtTextFileDialogs::ExecuteSave(TextFileRequest& request) {
    TSaveTextFileDialog dialog;
    dialog.request = request;
    const bool ok = dialog.Execute(parent_);
    request = dialog.request;
    return ok;
}

}  // namespace geodata_ui
