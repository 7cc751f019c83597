#include "csvtable.h"

namespace Brimlow::CsvTable {

namespace {

// One row from at; at moves past its line break. Runs of plain characters
// are taken whole.
QStringList rowAt(QStringView text, qsizetype &at)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    while (at < text.size()) {
        if (quoted) {
            const qsizetype quote = text.indexOf(QLatin1Char('"'), at);
            if (quote < 0) {
                field.append(text.mid(at));
                at = text.size();
                break;
            }
            field.append(text.mid(at, quote - at));
            at = quote + 1;
            if (at < text.size() && text.at(at) == QLatin1Char('"')) {
                field.append(QLatin1Char('"'));
                ++at;
            } else {
                quoted = false;
            }
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && text.at(end) != QLatin1Char(',') && text.at(end) != QLatin1Char('"')
            && text.at(end) != QLatin1Char('\n') && text.at(end) != QLatin1Char('\r'))
            ++end;
        if (end > at) {
            field.append(text.mid(at, end - at));
            fieldStarted = true;
        }
        at = end;
        if (at >= text.size())
            break;
        const QChar c = text.at(at++);
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char('"')) {
            field.append(c);
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
            fieldStarted = false;
        } else {
            if (c == QLatin1Char('\r') && at < text.size() && text.at(at) == QLatin1Char('\n'))
                ++at;
            break;
        }
    }
    fields.append(field);
    return fields;
}

} // namespace

void forEachRow(QStringView text, const std::function<void(const QStringList &)> &row)
{
    qsizetype at = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    while (at < text.size()) {
        const QStringList fields = rowAt(text, at);
        if (fields.size() == 1 && fields.first().isEmpty())
            continue; // a blank line
        row(fields);
    }
}

QStringList header(QStringView text)
{
    qsizetype at = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    return rowAt(text, at);
}

} // namespace Brimlow::CsvTable
