#include "pagemodel.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

// The page of templates/novel/book.typ: 41 lines of the grid, less what
// keeping things together leaves at the foot of a page (a day's heading
// goes with its first message, a message of two or three lines is not
// split), and more the blank line above a day's heading that a page's top
// drops, as measured over books of every common shape.
constexpr double linesPerPage = 40.6;
// A chapter opens on a new page with four lines of its own (its number,
// two of title and a rule; the blank line under them is the one above its
// first day's heading, which that day's lines count); the page before it is
// left, on average, half empty. The first chapter opens the first page of
// messages, which starts a page anyway.
constexpr double chapterLines = 4;
constexpr double pageLeftAtAChapter = 0.5;

// What the user's edits leave the book to print of its messages: a
// message hidden, or with neither text nor an attachment, prints nothing.
class Printed
{
public:
    explicit Printed(const Edits &edits)
        : m_hidden(edits.hidden.value_or(QStringList()))
        , m_texts(edits.text.value_or(QMap<QString, QString>()))
    { }

    bool operator()(const BookFile::Message &message) const
    {
        if (m_hidden.contains(message.id))
            return false;
        return !m_texts.value(message.id, message.text.value_or(QString())).isEmpty()
            || !message.media.value_or(QStringList()).isEmpty();
    }

private:
    QStringList m_hidden;
    QMap<QString, QString> m_texts;
};

} // namespace

PageModel PageModel::of(const Design &design, const QStringList &dedication)
{
    PageModel model;
    if (design.chapters == QLatin1String("year"))
        model.chapters = Chapters::Yearly;
    else if (design.chapters == QLatin1String("none"))
        model.chapters = Chapters::None;
    const bool dedicated = std::any_of(dedication.cbegin(), dedication.cend(),
        [](const QString &line) { return !line.trimmed().isEmpty(); });
    model.otherPages = 2 + (dedicated ? 2 : 0) + (design.receipt ? 1 : 0);
    if (design.layout == QLatin1String("chatroom"))
        model.layout = Layout::ChatRoom;
    return model;
}

PageModel PageModel::of(const BookFile &book)
{
    PageModel model = of(book.design.value_or(Design()), book.front.dedication);
    model.pins = pinsOf(book);
    model.takeChaptersOf(book);
    return model;
}

void PageModel::takeChaptersOf(const BookFile &book)
{
    chapterDays = chapterDaysOf(book);
    if (!chapterDays.isEmpty())
        chapters = Chapters::Own;
}

QStringList PageModel::chapterDaysOf(const BookFile &book)
{
    const QList<Edits::ChapterBreak> breaks = book.edits.chapters.value_or(QList<Edits::ChapterBreak>());
    if (breaks.isEmpty())
        return {};
    QSet<QString> starts;
    for (const Edits::ChapterBreak &chapter : breaks)
        starts.insert(chapter.start);
    const Printed prints(book.edits);
    QStringList days;
    bool pending = false;
    for (const BookFile::Message &message : book.messages) {
        pending = pending || starts.contains(message.id);
        if (!pending || !prints(message))
            continue;
        pending = false;
        if (days.isEmpty() || days.last() != message.day())
            days.append(message.day());
    }
    return days;
}

QList<PageModel::Pin> PageModel::pinsOf(const BookFile &book)
{
    const QList<Edits::Pin> asked = book.edits.pins.value_or(QList<Edits::Pin>());
    if (asked.isEmpty())
        return {};
    QHash<QString, int> pages;
    for (const Edits::Pin &pin : asked) {
        if (!pages.contains(pin.id))
            pages.insert(pin.id, pin.page);
    }
    const Printed prints(book.edits);
    QList<Pin> pins;
    for (const BookFile::Message &message : book.messages) {
        const auto page = pages.constFind(message.id);
        if (page == pages.cend() || !prints(message))
            continue;
        pins.append({ message.day(), *page });
        pages.erase(page);
    }
    std::stable_sort(pins.begin(), pins.end(), [](const Pin &a, const Pin &b) { return a.day < b.day; });
    return pins;
}

QStringView PageModel::chapterOf(QStringView day) const
{
    switch (chapters) {
    case Chapters::Monthly:
        return day.left(7);
    case Chapters::Yearly:
        return day.left(4);
    case Chapters::Own: {
        // The day on which the chapter it falls in begins.
        const auto after = std::upper_bound(chapterDays.cbegin(), chapterDays.cend(), day);
        if (after != chapterDays.cbegin())
            return *(after - 1);
        break;
    }
    case Chapters::None:
        break;
    }
    return {};
}

double PageModel::pages(double lines, qsizetype chapterCount) const
{
    const double opened = chapterCount > 0
        ? double(chapterCount) * (chapterLines / linesPerPage + pageLeftAtAChapter) - pageLeftAtAChapter
        : 0;
    // A stretch ends on a page of its own, half full on average, which
    // rounding the sum up to whole pages counts.
    return double(otherPages) + lines / linesPerPage + opened;
}

double PageModel::reach(double lines, qsizetype chapterCount) const
{
    return pages(lines, chapterCount) - double(otherPages);
}
