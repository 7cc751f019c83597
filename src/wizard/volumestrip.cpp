#include "volumestrip.h"

#include "model/day.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QPainter>
#include <QSet>
#include <QVBoxLayout>

namespace {

constexpr int stripHeight = 110;
constexpr qreal tallest = 90;

class Bars : public QWidget
{
public:
    explicit Bars(QPointer<WizardModel> model)
        : m_model(std::move(model))
    {
        setFixedHeight(stripHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_model)
            return;
        const QList<VolumeStrip::Bar> bars = VolumeStrip::bars(*m_model);
        int peak = 1;
        for (const VolumeStrip::Bar &bar : bars)
            peak = std::max(peak, bar.count);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor grey = Style::color(Style::Tone::Secondary);
        grey.setAlphaF(0.25);
        for (int i = 0; i < bars.size(); ++i) {
            const QRectF slot = VolumeStrip::barRect(i, int(bars.size()), width());
            const qreal h = std::max(double(bars[i].count) * tallest / double(peak), 3.0);
            const QRectF bar(slot.left(), height() - h, slot.width(), h);
            painter.setBrush(bars[i].unprinted ? grey : Style::brand());
            const qreal round = std::min(2.0, slot.width() / 2);
            painter.drawRoundedRect(bar, round, round);
        }
        painter.setBrush(Style::color(Style::Tone::Primary));
        for (int i = 0; i < bars.size(); ++i) {
            if (bars[i].ends) {
                const QRectF slot = VolumeStrip::barRect(i, int(bars.size()), width());
                painter.drawRect(QRectF(slot.right() + 2 - 1, 0, 2, height()));
            }
        }
    }

private:
    QPointer<WizardModel> m_model;
};

} // namespace

VolumeStrip::VolumeStrip(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_bars(new Bars(model))
    , m_from(Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary))
    , m_lines(Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary))
    , m_to(Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary))
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);
    stack->addWidget(m_bars);
    auto *legend = new QHBoxLayout;
    for (QLabel *label : { m_from, m_lines, m_to })
        label->setWordWrap(false);
    legend->addWidget(m_from);
    legend->addStretch(1);
    legend->addWidget(m_lines);
    legend->addStretch(1);
    legend->addWidget(m_to);
    stack->addLayout(legend);
    refresh();
}

QList<VolumeStrip::Bar> VolumeStrip::bars(const WizardModel &model)
{
    QList<Bar> bars;
    if (!model.insights())
        return bars;
    QMap<QString, int> months;
    for (const Insights::DayCount &day : model.insights()->days) {
        if (model.from() <= day.iso && day.iso <= model.to())
            months[day.iso.left(7)] += day.count;
    }
    QSet<QString> ends;
    for (const QString &end : model.volumeEnds())
        ends.insert(end.left(7));
    const QString endMonth = model.effectiveTo().left(7);
    for (auto it = months.cbegin(); it != months.cend(); ++it)
        bars.append(
            { it.key(), it.value(), endMonth < it.key(), ends.contains(it.key()) && it.key() < endMonth });
    return bars;
}

QRectF VolumeStrip::barRect(int index, int count, qreal width)
{
    if (count <= 0)
        return {};
    // Gaps of 2 while bars keep 3 pixels, then gaps of 1 while they keep 2,
    // then none; a bar never drops below a pixel, however many months there
    // are.
    const auto barFor = [&](qreal gap) { return (width - gap * (count - 1)) / count; };
    const qreal gap = barFor(2) >= 3 ? 2 : barFor(1) >= 2 ? 1 : 0;
    const qreal bar = std::max(1.0, barFor(gap));
    const qreal step = count > 1 ? (width - bar) / (count - 1) : 0;
    return { index * step, 0, bar, 0 };
}

void VolumeStrip::refresh()
{
    if (!m_model)
        return;
    m_from->setText(longDay(m_model->from()));
    m_to->setText(longDay(m_model->to()));
    m_lines->setText(
        m_model->volumeEnds().size() >= 2 ? QStringLiteral("Each line is where a book ends") : QString());
    m_bars->update();
}
