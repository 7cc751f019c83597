#include "csvtable.h"

namespace Brimlow::CsvTable {

namespace {

// One row from at; at moves past its line break.
QStringList rowAt(QStringView text, qsizetype &at)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    while (at < text.size()) {
        const QChar c = text.at(at++);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (at < text.size() && text.at(at) == QLatin1Char('"')) {
                    field.append(c);
                    ++at;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && at < text.size() && text.at(at) == QLatin1Char('\n'))
                ++at;
            break;
        } else {
            field.append(c);
        }
    }
    fields.append(field);
    return fields;
}

} // namespace

QList<QStringList> rows(QStringView text)
{
    QList<QStringList> result;
    qsizetype at = 0;
    if (text.startsWith(QChar(0xFEFF)))
        at = 1;
    while (at < text.size()) {
        QStringList row = rowAt(text, at);
        if (row.size() == 1 && row.first().isEmpty())
            continue; // blank line
        result.append(std::move(row));
    }
    return result;
}

QStringList header(QStringView text)
{
    qsizetype at = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    return rowAt(text, at);
}

} // namespace Brimlow::CsvTable
