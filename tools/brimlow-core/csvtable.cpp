#include "csvtable.h"

#include "textlines.h"

namespace Brimlow::CsvTable {

namespace {

// One row, fed a line at a time: a quoted field may run over lines.
class Row
{
public:
    // True when the row ends with this line.
    bool feed(QStringView line)
    {
        qsizetype at = 0;
        while (at < line.size()) {
            if (m_quoted) {
                const qsizetype quote = line.indexOf(QLatin1Char('"'), at);
                if (quote < 0) {
                    m_field.append(line.mid(at));
                    break;
                }
                m_field.append(line.mid(at, quote - at));
                at = quote + 1;
                if (at < line.size() && line.at(at) == QLatin1Char('"')) {
                    m_field.append(QLatin1Char('"'));
                    ++at;
                } else {
                    m_quoted = false;
                }
                continue;
            }
            // Runs of plain characters are taken whole.
            qsizetype end = at;
            while (end < line.size() && line.at(end) != QLatin1Char(',') && line.at(end) != QLatin1Char('"'))
                ++end;
            if (end > at) {
                m_field.append(line.mid(at, end - at));
                m_fieldStarted = true;
            }
            at = end;
            if (at >= line.size())
                break;
            const QChar c = line.at(at++);
            if (c == QLatin1Char('"') && !m_fieldStarted) {
                m_quoted = true;
                m_fieldStarted = true;
            } else if (c == QLatin1Char('"')) {
                m_field.append(c);
            } else {
                m_fields.append(m_field);
                m_field.clear();
                m_fieldStarted = false;
            }
        }
        if (m_quoted) {
            m_field.append(QLatin1Char('\n'));
            return false;
        }
        return true;
    }

    QStringList take()
    {
        if (m_quoted && m_field.endsWith(QLatin1Char('\n')))
            m_field.chop(1); // the quote left open at the end
        m_fields.append(m_field);
        QStringList fields = std::move(m_fields);
        *this = Row();
        return fields;
    }

private:
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false;
    bool m_fieldStarted = false;
};

} // namespace

void forEachRow(TextLines &lines, const std::function<void(const QStringList &)> &row)
{
    Row current;
    bool pending = false;
    while (lines.next()) {
        pending = true;
        if (!current.feed(lines.line()))
            continue;
        pending = false;
        const QStringList fields = current.take();
        if (fields.size() == 1 && fields.first().isEmpty())
            continue; // a blank line
        row(fields);
    }
    if (pending)
        row(current.take());
}

} // namespace Brimlow::CsvTable
