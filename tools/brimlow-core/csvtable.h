#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace Brimlow {

// Comma-separated text as spreadsheets and exporters write it: fields in
// double quotes may hold commas, line breaks and doubled quotes.
namespace CsvTable {

// Every row of a text in turn, blank lines left out; a quote left open
// runs to the end.
void forEachRow(QStringView text, const std::function<void(const QStringList &)> &row);

// Just the first row, for telling formats apart by their header.
QStringList header(QStringView text);

} // namespace CsvTable

} // namespace Brimlow
