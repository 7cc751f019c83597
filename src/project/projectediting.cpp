// The edits a user makes to an open book, and saving it.
#include "insights/insights.h"
#include "model/colophon.h"
#include "model/day.h"
#include "model/text.h"
#include "ownnames.h"
#include "project.h"

#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <algorithm>

namespace {

// Lists the edits keep are absent, never empty.
template<typename List> void storeList(std::optional<List> &field, const List &list)
{
    if (list.isEmpty())
        field.reset();
    else
        field = list;
}

// The list with item appended when absent, or with every copy of it
// removed when present.
std::optional<QStringList> toggled(const QStringList &list, const QString &item)
{
    QStringList result = list;
    if (result.contains(item))
        result.removeAll(item);
    else
        result.append(item);
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

// Ascending by Unicode scalar values: every capital before every small letter.
bool byScalars(const QString &a, const QString &b)
{
    return a.toUcs4() < b.toUcs4();
}

} // namespace

void Project::saveAndTypeset()
{
    QSaveFile file(bookPath());
    const bool saved
        = file.open(QIODevice::WriteOnly) && file.write(m_book.toJsonBytes()) >= 0 && file.commit();
    if (saved) {
        m_saveError.reset();
    } else {
        m_saveError = QStringLiteral("The book couldn't be saved: %1.").arg(file.errorString());
        setError(m_saveError);
    }
    typesetSoon(std::chrono::milliseconds(350));
}

void Project::refreshReceipt()
{
    if (!m_book.design)
        return;
    BookFile shown = m_book;
    shown.messages.clear();
    const QString first = from();
    const QString last = to();
    const QStringList hiddenList = m_book.edits.hidden.value_or(QStringList());
    const QSet<QString> hidden(hiddenList.cbegin(), hiddenList.cend());
    for (const BookFile::Message &message : m_book.messages) {
        if (inRange(message, first, last) && !hidden.contains(message.id))
            shown.messages.append(message);
    }
    m_book.design->receiptLines = Insights::read(shown).receiptLines;
}

void Project::setNames(const QString &me, const QString &them)
{
    // Only a name the user changed is theirs: one saved as it stood may be
    // the very name that opening the book is still to mend.
    OwnNames changed;
    for (BookFile::Person &person : m_book.people) {
        const QString name = Text::trimmedSpaces(person.me ? me : them);
        if (name.isEmpty())
            continue;
        if (name != person.name)
            (person.me ? changed.me : changed.them) = name;
        person.name = name;
    }
    changed.keep(m_folder);
    refreshReceipt();
    emit bookChanged();
    saveAndTypeset();
}

const BookFile::Message *Project::pageTarget(
    const QString &day, const QString &first, const QString &last) const
{
    const QStringList hiddenList = m_book.edits.hidden.value_or(QStringList());
    const QSet<QString> hidden(hiddenList.cbegin(), hiddenList.cend());
    const BookFile::Message *lastDaysFirst = nullptr;
    for (const BookFile::Message &message : m_book.messages) {
        if (!inRange(message, first, last) || hidden.contains(message.id)
            || (shownText(message).isEmpty() && message.media.value_or(QStringList()).isEmpty()))
            continue;
        if (message.at.left(10) >= day)
            return &message;
        if (!lastDaysFirst || !lastDaysFirst->at.startsWith(message.at.left(10)))
            lastDaysFirst = &message;
    }
    return lastDaysFirst;
}

void Project::addPage(const QString &beforeDay, const QString &text)
{
    // Any calendar day of the range can be picked, most of them without
    // messages: the page then goes before the next day that has some. It
    // must stand before a message the book prints, or it is never printed:
    // past the range's last such day it goes before that day's first. A
    // range that prints nothing still keeps what was written, for when it
    // prints again.
    const BookFile::Message *before = pageTarget(beforeDay, from(), to());
    if (!before)
        before = pageTarget(beforeDay, firstDay(), lastDay());
    if (!before)
        return;
    QList<Edits::Insert> inserts = m_book.edits.inserts.value_or(QList<Edits::Insert>());
    inserts.append({ before->id, QStringLiteral("page"), text });
    m_book.edits.inserts = inserts;
    emit bookChanged();
    saveAndTypeset();
}

void Project::addWord(const QString &word)
{
    const QString trimmed = Text::trimmedSpaces(word);
    if (trimmed.isEmpty())
        return;
    QStringList words = m_book.edits.words.value_or(QStringList());
    if (!words.contains(trimmed, Qt::CaseInsensitive)) {
        words.append(trimmed);
        m_book.edits.words = words;
    }
    emit bookChanged();
    saveAndTypeset();
}

void Project::removeWord(const QString &word)
{
    QStringList words = m_book.edits.words.value_or(QStringList());
    words.removeAll(word);
    storeList(m_book.edits.words, words);
    emit bookChanged();
    saveAndTypeset();
}

void Project::showAllHidden()
{
    m_book.edits.hidden.reset();
    emit bookChanged();
    saveAndTypeset();
}

void Project::toggleHidden(const BookFile::Message &message)
{
    m_book.edits.hidden = toggled(m_book.edits.hidden.value_or(QStringList()), message.id);
    emit bookChanged();
    saveAndTypeset();
}

void Project::toggleBold(const BookFile::Message &message)
{
    QList<Edits::Emphasis> emphasis = m_book.edits.emphasis.value_or(QList<Edits::Emphasis>());
    const auto whole = std::find_if(emphasis.begin(), emphasis.end(),
        [&](const Edits::Emphasis &entry) { return entry.id == message.id && !entry.phrase; });
    if (whole != emphasis.end())
        emphasis.erase(whole);
    else
        emphasis.append({ message.id, std::nullopt });
    storeList(m_book.edits.emphasis, emphasis);
    emit bookChanged();
    saveAndTypeset();
}

void Project::pin(const BookFile::Message &message, int page)
{
    QList<Edits::Pin> pins = m_book.edits.pins.value_or(QList<Edits::Pin>());
    pins.removeIf([&](const Edits::Pin &pin) { return pin.id == message.id; });
    pins.append({ message.id, page });
    m_book.edits.pins = pins;
    emit bookChanged();
    saveAndTypeset();
}

void Project::unpin(const QString &id)
{
    QList<Edits::Pin> pins = m_book.edits.pins.value_or(QList<Edits::Pin>());
    pins.removeIf([&](const Edits::Pin &pin) { return pin.id == id; });
    storeList(m_book.edits.pins, pins);
    emit bookChanged();
    saveAndTypeset();
}

void Project::startChapter(const BookFile::Message &message, const QString &title)
{
    QList<Edits::ChapterBreak> breaks = m_book.edits.chapters.value_or(QList<Edits::ChapterBreak>());
    breaks.removeIf([&](const Edits::ChapterBreak &chapter) { return chapter.start == message.id; });
    if (breaks.isEmpty()) {
        // The messages before the new break get an opening chapter.
        const std::optional<BookFile::Message> first = firstMessageInRange();
        if (first && first->id != message.id)
            breaks.append({ first->id, longDay(from()) });
    }
    breaks.append({ message.id, title });

    // Each start is looked up once, so a start named twice is harmless.
    QHash<QString, QString> times;
    for (const Edits::ChapterBreak &chapter : breaks) {
        if (!times.contains(chapter.start)) {
            const std::optional<BookFile::Message> start = this->message(chapter.start);
            times.insert(chapter.start, start ? start->at : QString());
        }
    }
    std::stable_sort(
        breaks.begin(), breaks.end(), [&](const Edits::ChapterBreak &a, const Edits::ChapterBreak &b) {
            return times.value(a.start) < times.value(b.start);
        });
    m_book.edits.chapters = breaks;
    emit bookChanged();
    saveAndTypeset();
}

void Project::renameChapter(const QString &start, const QString &title)
{
    if (m_book.edits.chapters) {
        for (Edits::ChapterBreak &chapter : *m_book.edits.chapters) {
            if (chapter.start == start)
                chapter.title = title;
        }
    }
    emit bookChanged();
    saveAndTypeset();
}

void Project::removeChapter(const QString &start)
{
    QList<Edits::ChapterBreak> breaks = m_book.edits.chapters.value_or(QList<Edits::ChapterBreak>());
    breaks.removeIf([&](const Edits::ChapterBreak &chapter) { return chapter.start == start; });
    // The opening break alone divides nothing: the book goes back to its
    // chapters by month. A later break left alone is a chapter the user
    // still wants, and stays.
    const std::optional<BookFile::Message> first = firstMessageInRange();
    const bool opening = breaks.size() == 1 && first && breaks.first().start == first->id;
    if (breaks.isEmpty() || opening)
        m_book.edits.chapters.reset();
    else
        m_book.edits.chapters = breaks;
    emit bookChanged();
    saveAndTypeset();
}

void Project::setRange(const std::optional<QString> &from, const std::optional<QString> &to)
{
    const bool followed = Colophon::followsRange(m_book);
    Edits::DayRange range;
    if (from && *from != firstDay())
        range.from = from;
    if (to && *to != lastDay())
        range.to = to;
    if (range.from || range.to)
        m_book.edits.range = range;
    else
        m_book.edits.range.reset();
    if (followed)
        m_book.front.colophon = Colophon::ofRange(m_book);
    refreshReceipt();
    emit bookChanged();
    saveAndTypeset();
}

void Project::toggleAddon(const QString &id, const std::optional<QString> &required)
{
    Order order = m_book.order.value_or(Order());
    const QStringList current = order.addons.value_or(QStringList());
    QSet<QString> addons(current.cbegin(), current.cend());
    if (addons.contains(id)) {
        addons.remove(id);
        // Colour coding needs colour pages.
        if (id == QLatin1String("colour"))
            addons.remove(QStringLiteral("colour-coding"));
    } else {
        addons.insert(id);
        if (required)
            addons.insert(*required);
    }
    QStringList sorted(addons.cbegin(), addons.cend());
    std::sort(sorted.begin(), sorted.end());
    storeList(order.addons, sorted);
    m_book.order = order;
    if (m_book.design) {
        if (addons.contains(QStringLiteral("colour-coding")))
            m_book.design->colourCoding = true;
        else
            m_book.design->colourCoding.reset();
    }
    emit bookChanged();
    saveAndTypeset();
}

void Project::applyWizard(const WizardChoices &choices)
{
    if (!choices.title.isEmpty())
        m_book.front.title = choices.title;
    m_book.front.colophon = choices.colophon;
    m_book.front.colophonTyped = choices.colophonTyped;
    m_book.front.dedication = choices.dedication;
    m_book.design = choices.design;
    m_book.order = choices.order;

    Edits::DayRange range;
    if (choices.from != firstDay())
        range.from = choices.from;
    if (choices.to != lastDay())
        range.to = choices.to;
    if (range.from || range.to)
        m_book.edits.range = range;
    else
        m_book.edits.range.reset();

    if (!choices.words.isEmpty()) {
        QStringList words = m_book.edits.words.value_or(QStringList()) + choices.words;
        words.removeDuplicates();
        std::sort(words.begin(), words.end(), byScalars);
        m_book.edits.words = words;
    }
    if (choices.pin) {
        QList<Edits::Pin> pins = m_book.edits.pins.value_or(QList<Edits::Pin>());
        pins.removeIf([&](const Edits::Pin &pin) { return pin.id == choices.pin->id; });
        pins.append(*choices.pin);
        m_book.edits.pins = pins;
    }
    refreshReceipt();
    emit bookChanged();
    saveAndTypeset();
}

std::optional<Edits::Pin> Project::pinFor(const BookFile::Message &message) const
{
    for (const Edits::Pin &pin : m_book.edits.pins.value_or(QList<Edits::Pin>())) {
        if (pin.id == message.id)
            return pin;
    }
    return std::nullopt;
}

std::optional<Layout::PinResult> Project::pinResult(const QString &id) const
{
    for (const Layout::PinResult &result : m_layout.pins) {
        if (result.id == id)
            return result;
    }
    return std::nullopt;
}

std::optional<BookFile::Message> Project::message(const QString &id) const
{
    for (const BookFile::Message &message : m_book.messages) {
        if (message.id == id)
            return message;
    }
    return std::nullopt;
}

std::optional<BookFile::Message> Project::firstMessageInRange() const
{
    const QString first = from();
    const QString last = to();
    for (const BookFile::Message &message : m_book.messages) {
        if (inRange(message, first, last) && !isHidden(message.id))
            return message;
    }
    return std::nullopt;
}
