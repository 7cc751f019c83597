#include "clampedlabel.h"

#include <QPainter>
#include <QTextLayout>

ClampedLabel::ClampedLabel(int maxLines, QWidget *parent)
    : ClampedLabel(QString(), maxLines, parent)
{ }

ClampedLabel::ClampedLabel(const QString &text, int maxLines, QWidget *parent)
    : QLabel(text, parent)
    , m_maxLines(maxLines)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ClampedLabel::setMinimumLines(int lines)
{
    m_minimumLines = lines;
    updateGeometry();
}

QStringList ClampedLabel::lines(int width) const
{
    QStringList result;
    if (width <= 0)
        return result;
    const QFontMetricsF metrics(font());
    QString rest = text();
    rest.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(rest, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (result.size() < m_maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const QString piece = rest.mid(line.textStart(), line.textLength());
        const bool last = result.size() + 1 == m_maxLines;
        if (last && line.textStart() + line.textLength() < rest.size()) {
            QString remaining = rest.mid(line.textStart());
            remaining.replace(QChar::LineSeparator, QLatin1Char(' '));
            result.append(metrics.elidedText(remaining, Qt::ElideRight, width));
        } else {
            result.append(piece.trimmed());
        }
    }
    layout.endLayout();
    return result;
}

int ClampedLabel::heightForWidth(int width) const
{
    const int count = std::max<int>(m_minimumLines, int(lines(width).size()));
    return QFontMetrics(font()).lineSpacing() * std::max(1, count);
}

QSize ClampedLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int natural = metrics.horizontalAdvance(text()) + 1;
    const int width = std::min(natural, 420);
    return { width, heightForWidth(width) };
}

QSize ClampedLabel::minimumSizeHint() const
{
    return { 40, QFontMetrics(font()).lineSpacing() * m_minimumLines };
}

void ClampedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QFontMetrics metrics(font());
    int y = 0;
    for (const QString &line : lines(width())) {
        painter.drawText(
            QRect(0, y, width(), metrics.lineSpacing()), int(alignment()) | Qt::AlignVCenter, line);
        y += metrics.lineSpacing();
    }
}
