#pragma once

#include <QStyledItemDelegate>

// Paints one found message: its day, its sender, where it stands in the
// book, a menu button, and its text in up to four lines with the searched
// words marked. Painted as plain text, never as rich text.
class SearchDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where a row's "ellipsis.circle" menu button is.
    static QRect menuRect(const QRect &row);
};
