#include "wrappedframe.h"

#include "cardtext.h"
#include "ribbon.h"
#include "wrappedcardview.h"
#include "wrappedfooter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace WrappedFrame {

namespace {

const QSizeF frame(360, 640);

double clamp01(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

double progressOf(double elapsed, double duration)
{
    return clamp01(elapsed / std::max(duration, 0.001));
}

// A card centred in the frame, as the frame's stack places it.
void paintCard(QPainter &painter, const WrappedCardView::Content &content, double opacity, double drop = 0)
{
    const QSizeF card = WrappedCardView::size(content.shape());
    painter.save();
    painter.setOpacity(opacity);
    painter.translate((frame.width() - card.width()) / 2, (frame.height() - card.height()) / 2 + drop);
    WrappedCardView::paint(painter, content);
    painter.restore();
}

// Its footer carries no code: the code is on the cards and in the closing
// frame, which bracket this scene.
void paintMonths(QPainter &painter, double progress, const Wrapped &wrapped, const WrappedSettings &settings)
{
    const QPaintDevice *device = painter.device();
    const WrappedSettings::Palette palette = settings.palette();
    const qreal left = 30;
    const qreal width = frame.width() - 2 * left;
    const qreal top = 34;
    const qreal bottom = frame.height() - 34;

    const QFont label
        = CardText::font(device, WrappedSettings::sansFamily(), 10.5, QFont::DemiBold, false, 1.6);
    const QFont count = CardText::font(device, settings.family(), 150);
    const QFont unit = CardText::font(device, settings.family(), 34, QFont::Normal, true);
    const QFont span = CardText::font(device, WrappedSettings::sansFamily(), 14);
    const QFontMetricsF labelMetrics = CardText::metrics(device, label);
    const QFontMetricsF countMetrics = CardText::metrics(device, count);
    const QFontMetricsF unitMetrics = CardText::metrics(device, unit);
    const QFontMetricsF spanMetrics = CardText::metrics(device, span);

    const int months = int(wrapped.months.size());
    const int shown = shownMonths(progress, months);
    const int peak = std::max(1,
        std::transform_reduce(
            wrapped.months.cbegin(), wrapped.months.cend(), 0, [](int a, int b) { return std::max(a, b); },
            [](const Wrapped::Month &month) { return month.count; }));
    const int cols = columns(months);
    const int rows = (months + cols - 1) / cols;
    const qreal gap = 7;
    const qreal tileWidth = (width - gap * (cols - 1)) / cols;
    qreal tileHeight = tileWidth / 1.6;

    const qreal footer = WrappedFooter::height(device, settings);
    const qreal labelHeight = labelMetrics.ascent() + labelMetrics.descent();
    const qreal textHeight = countMetrics.ascent() + countMetrics.descent() + unitMetrics.lineSpacing();
    const qreal spanHeight = 12 + spanMetrics.ascent() + spanMetrics.descent();
    const qreal fixed = labelHeight + textHeight + 22 + spanHeight + footer + 2 * 20;
    // Decades of messages make more rows than the frame holds: the tiles
    // grow flatter rather than run into the footer.
    if (rows > 0)
        tileHeight = std::clamp((bottom - top - fixed - gap * (rows - 1)) / rows, 1.0, tileHeight);
    const qreal grid = rows > 0 ? rows * tileHeight + (rows - 1) * gap : 0;
    const qreal space = std::max(20.0, (bottom - top - fixed + 2 * 20 - grid) / 2);

    qreal y = top;
    painter.setPen(palette.accent);
    CardText::draw(
        painter, label, QPointF(left, y + labelMetrics.ascent()), QStringLiteral("MONTH BY MONTH"));
    y += labelHeight + space;
    painter.setPen(palette.ink);
    CardText::draw(painter, count, QPointF(left, y + countMetrics.ascent()),
        QString::number(std::min(shown, months)), CardText::Digits::Tabular);
    y += countMetrics.ascent() + countMetrics.descent();
    CardText::draw(painter, unit, QPointF(left, y + unitMetrics.ascent()),
        months == 1 ? QStringLiteral("month of messages") : QStringLiteral("months of messages"));
    y += unitMetrics.lineSpacing() + 22;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < months; ++i) {
        const QRectF cell(left + (i % cols) * (tileWidth + gap), y + (i / cols) * (tileHeight + gap),
            tileWidth, tileHeight);
        painter.setBrush(tile(i, shown, wrapped.months.at(i).count, peak, palette));
        painter.drawRoundedRect(cell, 3, 3);
    }
    y += grid + 12;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(palette.ink);
    painter.save();
    painter.setOpacity(painter.opacity() * 0.78);
    CardText::draw(painter, span, QPointF(left, y + spanMetrics.ascent()), wrapped.span);
    painter.restore();
    WrappedFooter::paint(painter, QRectF(left, bottom - footer, width, footer), settings, std::nullopt);
}

void paintOutro(QPainter &painter, const WrappedSettings &settings, const std::optional<QString> &code)
{
    const QPaintDevice *device = painter.device();
    const WrappedSettings::Palette palette = settings.palette();
    const QFont host = CardText::font(device, settings.family(), 40);
    const CardText::Paragraph invitation
        = CardText::wrap(device, CardText::font(device, settings.family(), 22, QFont::Normal, true),
            QStringLiteral("Make your own Wrapped\nwith the desktop app"), frame.width(), 2);
    const QFont codeFont
        = CardText::font(device, WrappedSettings::sansFamily(), 14, QFont::DemiBold, false, 1.2);
    const QFont adFont = CardText::font(device, WrappedSettings::sansFamily(), 14, QFont::Bold);
    const QFontMetricsF hostMetrics = CardText::metrics(device, host);
    const QFontMetricsF codeMetrics = CardText::metrics(device, codeFont);
    const QFontMetricsF adMetrics = CardText::metrics(device, adFont);
    const qreal spacing = 18;

    qreal height
        = 64 + spacing + hostMetrics.ascent() + hostMetrics.descent() + spacing + invitation.height(device);
    if (code)
        height += spacing + 6 + codeMetrics.ascent() + codeMetrics.descent();
    if (settings.disclose)
        height += spacing + adMetrics.ascent() + adMetrics.descent();

    qreal y = (frame.height() - height) / 2;
    const auto centred = [&](const QFont &font, const QFontMetricsF &metrics, const QString &text) {
        const qreal x = (frame.width() - CardText::width(device, font, text)) / 2;
        CardText::draw(painter, font, QPointF(x, y + metrics.ascent()), text);
        y += metrics.ascent() + metrics.descent() + spacing;
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.accent);
    painter.drawPath(Ribbon::path(QRectF((frame.width() - 64) / 2, y, 64, 64)));
    painter.setBrush(Qt::NoBrush);
    y += 64 + spacing;
    painter.setPen(palette.ink);
    centred(host, hostMetrics, WrappedFooter::siteName());
    painter.save();
    painter.setOpacity(painter.opacity() * 0.85);
    y += invitation.draw(painter, QPointF(0, y), frame.width(), Qt::AlignHCenter) + spacing;
    painter.restore();
    if (code) {
        y += 6;
        centred(codeFont, codeMetrics, QStringLiteral("code ") + *code);
    }
    if (settings.disclose)
        centred(adFont, adMetrics, QStringLiteral("#ad"));
}

} // namespace

Moment at(double t, const WrappedVideo::Plan &plan)
{
    const double monthsEnd = plan.intro + plan.months;
    const int n = int(plan.cards.size());
    const double perCard = plan.perCard();
    const double cardsEnd = monthsEnd + perCard * n;
    if (t < plan.intro)
        return { Scene::Opening, -1, t, plan.intro };
    if (t < monthsEnd)
        return { Scene::Months, -1, t - plan.intro, plan.months };
    if (n > 0 && t < cardsEnd) {
        const int k = std::min(int((t - monthsEnd) / perCard), n - 1);
        return { Scene::Card, k, t - monthsEnd - perCard * k, perCard };
    }
    return { Scene::Outro, -1, t - cardsEnd, plan.outro };
}

double fadeIn(double local)
{
    return clamp01(local * 4);
}

double opacity(double local, double length)
{
    const double fadeOut = clamp01((local - (length - 0.2)) / 0.2);
    return std::min(fadeIn(local), 1 - fadeOut);
}

int columns(int months)
{
    return months < 13 ? 4 : months < 37 ? 6 : 12;
}

int shownMonths(double progress, int months)
{
    return std::min(int(std::ceil(progress * months)), months);
}

QColor tile(int index, int shown, int count, int peak, const WrappedSettings::Palette &palette)
{
    if (index >= shown)
        return palette.faint;
    QColor colour = palette.accent;
    colour.setAlphaF(float(0.25 + 0.75 * double(count) / std::max(peak, 1)));
    return colour;
}

Look look(double t, const WrappedVideo::Plan &plan)
{
    const Moment moment = at(t, plan);
    Look made { moment.scene, moment.card, 0, opacity(moment.local, moment.length), 0 };
    switch (moment.scene) {
    case Scene::Opening:
        made.progress = progressOf(t - 0.2, plan.intro - 0.6);
        break;
    case Scene::Months:
        made.progress = progressOf(moment.local - 0.1, plan.months - 0.7);
        break;
    case Scene::Card:
        made.progress = progressOf(moment.local - 0.1, moment.length * 0.55 - 0.1);
        made.drop = (1 - fadeIn(moment.local)) * 14;
        break;
    case Scene::Outro:
        made.opacity = clamp01(moment.local * 4);
        break;
    }
    return made;
}

void paint(QPainter &painter, double t, const WrappedVideo::Plan &plan, const Wrapped &wrapped,
    const WrappedSettings &settings, const std::optional<QString> &code)
{
    const Look shown = look(t, plan);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), frame), settings.palette().background);
    switch (shown.scene) {
    case Scene::Opening: {
        const auto cover = std::find_if(wrapped.cards.cbegin(), wrapped.cards.cend(),
            [](const Wrapped::Card &card) { return card.kind == Wrapped::Kind::Cover; });
        if (cover != wrapped.cards.cend())
            paintCard(
                painter, { *cover, wrapped, settings, code, std::nullopt, shown.progress }, shown.opacity);
        break;
    }
    case Scene::Months:
        painter.setOpacity(shown.opacity);
        paintMonths(painter, shown.progress, wrapped, settings);
        break;
    case Scene::Card:
        paintCard(painter,
            { plan.cards.at(shown.card), wrapped, settings, code, std::nullopt, shown.progress },
            shown.opacity, shown.drop);
        break;
    case Scene::Outro:
        painter.setOpacity(shown.opacity);
        paintOutro(painter, settings, code);
        break;
    }
    painter.restore();
}

} // namespace WrappedFrame
