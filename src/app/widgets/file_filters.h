#pragma once
// File-type filters as the system's texts write them ("Name|*.a;*.b|Other|*.c", 1-based
// index) turned into the name filters of Qt's file dialogs.
#include <QString>
#include <QStringList>

namespace app {

// "Name (*.a *.A *.b *.B)" per pair, patterns in both letter cases so that "*.KML" matches
// too; a bracket the name already carries gives way to the patterns. A last name without a
// pattern is dropped.
QStringList QtNameFilters(const QString& filter);

}  // namespace app
