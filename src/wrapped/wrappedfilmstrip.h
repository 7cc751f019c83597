#pragma once

#include "model/wrapped.h"
#include "ui/sidescroll.h"
#include "wrappedsettings.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QAbstractButton;
class QHBoxLayout;

// The strip of every card under the preview, in the document's order: a
// small story-shaped drawing of each, ringed when it is the card shown and
// faded when it is out of the share, with its "In the share" box below.
class WrappedFilmstrip : public SideScroll
{
    Q_OBJECT

public:
    // What the strip draws.
    struct Cards
    {
        Wrapped wrapped;
        WrappedSettings settings;
        std::optional<QString> code;
        QString focused;
        // How each card reads aloud, by card id.
        QHash<QString, QString> descriptions;
    };

    explicit WrappedFilmstrip(QWidget *parent = nullptr);

    void setCards(const Cards &cards);

    // The thumbnail and the box of a card, for tests and accessibility.
    QAbstractButton *thumbnail(const QString &id) const;
    QAbstractButton *shareBox(const QString &id) const;

    QSize sizeHint() const override;

signals:
    // The user picked a card to show.
    void focusRequested(const QString &id);
    // The user put a card in the share or took it out.
    void inclusionRequested(const QString &id, bool on);

private:
    class Item;
    class Thumbnail;

    void rebuild(const Wrapped &wrapped);

    QWidget *m_row;
    QHBoxLayout *m_items;
    QList<Item *> m_cards;
    QStringList m_ids;
};
