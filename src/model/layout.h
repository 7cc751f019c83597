#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// Where things fell in a typeset book. Made by the layout query, completed
// with the page count by typesetting, stored by the typesetting cache.
struct Layout
{
    // The page on which a day first occurs.
    struct Day
    {
        // The page number printed on that page.
        int printed = 0;
        // The page's position in the PDF, from 0.
        int index = 0;

        friend bool operator==(const Day &, const Day &) = default;
    };

    // The outcome of one pin. A pin can only move a message later: asked
    // for a page before its natural one, ok is false.
    struct PinResult
    {
        QString id;
        // The page the typeset book reports for the pin.
        int page = 0;
        // The page the message falls on without the pin.
        int natural = 0;
        bool ok = false;

        static PinResult fromJson(const QJsonObject &object);
        QJsonObject toJson() const;
        friend bool operator==(const PinResult &, const PinResult &) = default;
    };

    // By day key.
    QMap<QString, Day> days;
    // In the order the typeset book reports them.
    QList<PinResult> pins;
    int pageCount = 0;
    // Printed page numbers on which chapters start, in book order.
    QList<int> chapterPages;

    // The position in the PDF of the page numbered 1, where the days begin;
    // nullopt while no day has a page. The pages before it, the front of the
    // book, have no number; those from it on count on from 1 whether their
    // number is printed or not (a blank before a pinned message, an added
    // page, the receipt), as pins ask for them.
    std::optional<int> pageOneIndex() const;

    // Coarse on purpose: page count, pin results and the number of days.
    // Observers of the open book are told of a new layout only when it
    // differs by this rule; day pages and chapter pages are not compared.
    friend bool operator==(const Layout &a, const Layout &b)
    {
        return a.pageCount == b.pageCount && a.pins == b.pins && a.days.size() == b.days.size();
    }
};
