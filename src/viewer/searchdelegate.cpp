#include "searchdelegate.h"

#include "searchmodel.h"
#include "tones.h"
#include "ui/clampedtext.h"
#include "ui/icons.h"
#include "ui/style.h"

#include <QAbstractItemView>
#include <QPainter>

namespace {

constexpr int sidePadding = 14;
constexpr int topPadding = 8;
constexpr int lineGap = 4;
constexpr int menuSize = 16;

QFont dayFont()
{
    return Style::font(Style::Text::Caption, Style::Weight::Medium);
}

QFont captionFont()
{
    return Style::font(Style::Text::Caption);
}

int firstLineHeight()
{
    return std::max(QFontMetrics(dayFont()).height(), menuSize);
}

ClampedText::Block textBlock(const SearchModel::Row &row, const QString &query)
{
    QFont font = Style::font(Style::Text::Body, row.bold ? Style::Weight::Bold : Style::Weight::Regular);
    font.setStrikeOut(row.hidden);
    QList<QTextLayout::FormatRange> formats;
    int first = -1;
    int firstEnd = -1;
    for (const auto &[start, length] : SearchModel::highlights(row.text, query)) {
        QTextLayout::FormatRange range;
        range.start = start;
        range.length = length;
        range.format.setBackground(Tones::highlight());
        formats.append(range);
        if (first < 0 || start < first) {
            first = start;
            firstEnd = start + length;
        }
    }
    // A word found past the fourth line is why the message is listed: the
    // row shows the part of the message that holds it.
    ClampedText::Block block { row.text, font, 4, formats };
    block.keepFrom = first;
    block.keepTo = firstEnd;
    return block;
}

const SearchModel *modelOf(const QModelIndex &index)
{
    return qobject_cast<const SearchModel *>(index.model());
}

} // namespace

QRect SearchDelegate::menuRect(const QRect &row)
{
    const int line = firstLineHeight();
    return QRect(row.right() - sidePadding - menuSize + 1, row.top() + topPadding + (line - menuSize) / 2,
        menuSize, menuSize);
}

QSize SearchDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const SearchModel *model = modelOf(index);
    if (!model)
        return {};
    int width = option.rect.width();
    if (const auto *view = qobject_cast<const QAbstractItemView *>(option.widget))
        width = view->viewport()->width();
    const int textWidth = std::max(40, width - 2 * sidePadding);
    const int text = ClampedText::height(textBlock(model->row(index.row()), model->query()), textWidth);
    return { width, topPadding + firstLineHeight() + lineGap + text + topPadding };
}

void SearchDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const SearchModel *model = modelOf(index);
    if (!model)
        return;
    const SearchModel::Row &row = model->row(index.row());
    const QPalette &palette = option.palette;
    const QRect rect = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (option.state & QStyle::State_Selected) {
        QColor fill = Style::brand();
        fill.setAlphaF(0.14);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(rect).adjusted(6, 2, -6, -2), 6, 6);
    } else {
        painter->setPen(QPen(Style::color(Style::Tone::Quaternary, palette), 1));
        painter->drawLine(QPointF(rect.left() + sidePadding, rect.bottom() + 0.5),
            QPointF(rect.right() - sidePadding, rect.bottom() + 0.5));
    }

    const QRect content = rect.adjusted(sidePadding, topPadding, -sidePadding, -topPadding);
    const int line = firstLineHeight();
    const QRect first(content.left(), content.top(), content.width(), line);

    // The menu button and the badge at the trailing end.
    const QRect menu = menuRect(rect);
    painter->drawPixmap(menu,
        Icons::pixmap(QStringLiteral("ellipsis.circle"), menuSize,
            Style::color(Style::Tone::Secondary, palette), painter->device()->devicePixelRatioF()));
    int trailing = menu.left() - 8;
    if (row.badge.kind != SearchModel::Badge::Kind::None) {
        const QFontMetrics metrics(captionFont());
        QColor colour = Style::color(Style::Tone::Secondary, palette);
        if (row.badge.kind == SearchModel::Badge::Kind::Pin)
            colour = row.badge.failed ? Style::warning(palette) : Style::brand();
        const int textWidth = metrics.horizontalAdvance(row.badge.text);
        painter->setFont(captionFont());
        painter->setPen(colour);
        const QRect text(trailing - textWidth, first.top(), textWidth, line);
        painter->drawText(text, Qt::AlignVCenter | Qt::AlignRight, row.badge.text);
        trailing = text.left();
        if (row.badge.kind == SearchModel::Badge::Kind::Pin) {
            const int size = 11;
            const QRect pin(trailing - size - 3, first.top() + (line - size) / 2, size, size);
            painter->drawPixmap(pin,
                Icons::pixmap(
                    QStringLiteral("pin.fill"), size, colour, painter->device()->devicePixelRatioF()));
            trailing = pin.left();
        }
        trailing -= 8;
    }

    // The day and the sender at the leading end, cut short before the badge.
    const QFontMetrics dayMetrics(dayFont());
    const QString day = dayMetrics.elidedText(row.day, Qt::ElideRight, std::max(0, trailing - first.left()));
    painter->setFont(dayFont());
    painter->setPen(Style::color(Style::Tone::Primary, palette));
    painter->drawText(first, Qt::AlignVCenter | Qt::AlignLeft, day);
    const int senderLeft = first.left() + dayMetrics.horizontalAdvance(day) + 6;
    if (senderLeft < trailing) {
        const QFontMetrics metrics(captionFont());
        painter->setFont(captionFont());
        painter->setPen(Style::color(Style::Tone::Secondary, palette));
        painter->drawText(QRect(senderLeft, first.top(), trailing - senderLeft, line),
            Qt::AlignVCenter | Qt::AlignLeft,
            metrics.elidedText(row.sender, Qt::ElideRight, trailing - senderLeft));
    }

    painter->setPen(Style::color(row.hidden ? Style::Tone::Secondary : Style::Tone::Primary, palette));
    ClampedText::paint(*painter, QPointF(content.left(), first.bottom() + 1 + lineGap), content.width(),
        textBlock(row, model->query()));
    painter->restore();
}
