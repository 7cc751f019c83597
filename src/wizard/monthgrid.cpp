#include "monthgrid.h"

#include "ui/style.h"

#include <QHelpEvent>
#include <QMap>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int columns = 24;
constexpr qreal side = 16;
constexpr qreal gap = 4;

} // namespace

MonthGrid::MonthGrid(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMouseTracking(true);
}

QList<QPair<QString, int>> MonthGrid::months(const QList<Insights::DayCount> &days)
{
    QMap<QString, int> totals;
    for (const Insights::DayCount &day : days)
        totals[day.iso.left(7)] += day.count;
    QList<QPair<QString, int>> result;
    for (auto it = totals.cbegin(); it != totals.cend(); ++it)
        result.append({ it.key(), it.value() });
    return result;
}

QString MonthGrid::tooltip(const QString &month, int total)
{
    return Insights::monthName(month) + QStringLiteral(": ") + Style::number(total)
        + QStringLiteral(" messages");
}

void MonthGrid::setDays(const QList<Insights::DayCount> &days)
{
    m_months = months(days);
    m_peak = 1;
    for (const auto &month : m_months)
        m_peak = std::max(m_peak, month.second);
    updateGeometry();
    update();
}

void MonthGrid::setShown(int shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    update();
}

qreal MonthGrid::opacity(int index) const
{
    return double(m_months.value(index).second) * 0.85 / double(m_peak) + 0.15;
}

QRectF MonthGrid::cell(int index) const
{
    return { (index % columns) * (side + gap), (index / columns) * (side + gap), side, side };
}

QSize MonthGrid::sizeHint() const
{
    const int rows = std::max<int>(1, int((m_months.size() + columns - 1) / columns));
    const int used = std::clamp<int>(int(m_months.size()), 1, columns);
    return { int(used * (side + gap) - gap), int(rows * (side + gap) - gap) };
}

void MonthGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_months.size() && i < m_shown; ++i) {
        QColor fill = Style::brand();
        fill.setAlphaF(std::min(1.0, opacity(i)));
        painter.setBrush(fill);
        painter.drawRoundedRect(cell(i), 3, 3);
    }
}

bool MonthGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        for (int i = 0; i < m_months.size() && i < m_shown; ++i) {
            if (cell(i).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), tooltip(m_months[i].first, m_months[i].second), this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
