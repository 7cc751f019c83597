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
    // The user's own chapters, where they marked any, stand for the
    // monthly or yearly ones.
    enum class Chapters { Monthly, Yearly, None, Own };
    // The book layout, or the chat-room layout, which counts its own lines.
    enum class Layout { Book, ChatRoom };

    // A message pinned to a page: the book puts blank pages before it so
    // that it lands there, and those pages are printed and paid for like
    // any other (PinPages says how many).
    struct Pin
    {
        // The pinned message's day, "yyyy-MM-dd".
        QString day;
        // The printed page asked for.
        int page = 0;

        friend bool operator==(const Pin &, const Pin &) = default;
    };

    Chapters chapters = Chapters::Monthly;
    Layout layout = Layout::Book;
    // With the user's own chapters: the days on which they begin, earliest
    // first. The last to begin before a stretch opens the stretch.
    QStringList chapterDays;
    // Pages printed whatever the messages: the title page and its back,
    // the dedication and its back when there is one, the receipt.
    int otherPages = 3;
    // By day, earliest first; only the pins of days in a stretch count.
    QList<Pin> pins;

    static PageModel of(const Design &design, const QStringList &dedication);
    // Of a book's own look and pins, or a new book's look while it has none.
    static PageModel of(const BookFile &book);
    // The pins of the messages book prints (not left out, not empty), by
    // day; a message pinned twice keeps its first pin, as the book does.
    static QList<Pin> pinsOf(const BookFile &book);
    // The days on which the user's chapters begin, as the book places
    // them: a chapter marked on a message left out opens at the next one
    // it prints.
    static QStringList chapterDaysOf(const BookFile &book);
    // Takes the user's own chapters of a book, where it has any.
    void takeChaptersOf(const BookFile &book);

    // The chapter a day belongs to: its month or its year, or the day on
    // which the user's chapter it falls in begins; empty when the book has
    // no chapters (or the day comes before the user's first).
    QStringView chapterOf(QStringView day) const;
    // Pages of a stretch of printed lines that opens this many chapters,
    // before rounding up to whole pages.
    double pages(double lines, qsizetype chapterCount) const;
    // How far into the pages of messages the same stretch reaches, in
    // pages from the top of the first: where what follows it would begin.
    double reach(double lines, qsizetype chapterCount) const;

    friend bool operator==(const PageModel &, const PageModel &) = default;
};
