#pragma once

#include "model/bookfile.h"
#include "model/design.h"

#include <QStringList>
#include <QStringView>

// What a book prints besides the lines of its messages, as far as its page
// count goes: how its chapters open and the pages of its front and back.
// The page estimate of every stretch (Insights) counts the printed lines of
// its days through this one model, so the wizard's steps, its volume strip,
// its price and its volume count all agree with one another and with the
// typeset book. A default-made model is a new book's: a chapter a month, a
// receipt, no dedication.
struct PageModel
{
    enum class Chapters { Monthly, Yearly, None };

    Chapters chapters = Chapters::Monthly;
    // Pages printed whatever the messages: the title page and its back,
    // the dedication and its back when there is one, the receipt.
    int otherPages = 3;

    static PageModel of(const Design &design, const QStringList &dedication);
    // Of a book's own look, or a new book's while it has none.
    static PageModel of(const BookFile &book);

    // The chapter a day belongs to: its month or its year; empty when the
    // book has no chapters.
    QStringView chapterOf(QStringView day) const;
    // Pages of a stretch of printed lines that opens this many chapters,
    // before rounding up to whole pages.
    double pages(double lines, qsizetype chapterCount) const;

    friend bool operator==(const PageModel &, const PageModel &) = default;
};
