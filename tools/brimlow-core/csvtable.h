#pragma once

#include <QStringList>
#include <functional>

namespace Brimlow {

class TextLines;

// Comma-separated text as spreadsheets and exporters write it: fields in
// double quotes may hold commas, line breaks and doubled quotes.
namespace CsvTable {

// Every row of the lines in turn, blank lines left out; a quote left open
// runs to the end.
void forEachRow(TextLines &lines, const std::function<void(const QStringList &)> &row);

} // namespace CsvTable

} // namespace Brimlow
