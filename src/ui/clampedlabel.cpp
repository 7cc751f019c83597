#include "clampedlabel.h"

#include "clampedtext.h"

#include <QPainter>

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

int ClampedLabel::heightForWidth(int width) const
{
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    const int drawn = text().isEmpty() || width <= 0
        ? 0
        : ClampedText::height({ text(), font(), m_maxLines, {}, alignment() }, width);
    return std::max({ drawn, lineHeight * m_minimumLines, lineHeight });
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
    if (text().isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    ClampedText::paint(painter, QPointF(0, 0), width(), { text(), font(), m_maxLines, {}, alignment() });
}
