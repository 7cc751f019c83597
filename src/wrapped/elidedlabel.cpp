#include "elidedlabel.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    refreshTip();
}

bool ElidedLabel::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return { std::min(fontMetrics().horizontalAdvance(QStringLiteral("Mmmm…")), sizeHint().width()),
        sizeHint().height() };
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(),
        shown, foregroundRole());
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    refreshTip();
}

void ElidedLabel::refreshTip()
{
    setToolTip(isElided() ? text() : QString());
}
