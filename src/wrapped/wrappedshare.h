#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// The rules of the Wrapped screen that need no widget: which cards are in
// the share and which one is shown, how a card reads aloud, and the words
// and names of what the user saves and posts.
namespace WrappedShare {

// The saved share as it fits the cards: entries naming no card are
// dropped (repeats stay); when nothing is left, the document's default
// cards in card order.
QStringList kept(const Wrapped &wrapped, const QStringList &selection);

// The share a screen opens with: kept(), and a focus naming a card that
// is not in it goes in front.
QStringList opening(const Wrapped &wrapped, const QStringList &saved, const std::optional<QString> &focus);

// The card to show: wanted when it names a card, else the first of the
// share, else the first card; "" without cards.
QString shown(const Wrapped &wrapped, const QStringList &selection, const QString &wanted);

// The share with a card put in (it then follows card order, and entries
// naming no card go) or taken out (every occurrence).
QStringList included(const Wrapped &wrapped, const QStringList &selection, const QString &id, bool on);

// A card in plain sentences, for screen readers.
QString describe(const Wrapped::Card &card, const Wrapped &wrapped, const WrappedSettings &settings);

// The start of every saved file's name: the title as the cards name
// people, lower-cased, its runs of letters and numbers joined by "-", and
// "-wrapped" ("book-club-2024-wrapped"); a title too long for a file name
// is cut, with a hash of the whole, so every saved file's name fits.
QString filePrefix(const Wrapped &wrapped, const WrappedSettings &settings);

// The words for a post; ends with the invite link, or the site's name
// while there is none.
QString caption(const Wrapped &wrapped, const WrappedSettings &settings, const std::optional<QUrl> &invite);

} // namespace WrappedShare
