#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Brimlow {

// Comma-separated text as spreadsheets and exporters write it: fields in
// double quotes may hold commas, line breaks and doubled quotes.
namespace CsvTable {

// The rows of a text; a quote left open runs to the end.
QList<QStringList> rows(QStringView text);

// Just the first row, for telling formats apart by their header.
QStringList header(QStringView text);

} // namespace CsvTable

} // namespace Brimlow
