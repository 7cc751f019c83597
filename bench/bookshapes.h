#pragma once

// Generated books of the shapes people's conversations take, for measuring
// typeset pages against the wizard's page estimate: short alternating
// messages, runs from one side, long messages, emoji, many months, one year
// of yearly chapters, a few busy days, a group in both layouts (and with
// long messages in the chat-room layout), sparse chats
// of a few messages a day over years, a message a day, middling messages
// with emoji, and a small export with photos, voice notes, links and
// deleted messages. The same bytes every run. The full books are the size
// people print; the smaller ones keep a test quick.
#include "insights/insights.h"
#include "insights/pagemodel.h"
#include "model/bookfile.h"

#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace Bench {

// Who speaks next.
enum class Senders { Alternating, Runs, Group };
// What the messages say.
enum class Texts { Short, Mixed, Long, Emoji, Middling, Export };
// How the messages fall on the days anyone writes: a few busy days among
// quiet ones, about as many on each, or exactly one each.
enum class Spread { Weighted, Even, Daily };
// How large a book is: the size people print; a third of it, where what a
// day's heading or a run's name adds already shows in the page count; or a
// tenth, where the front matter weighs most.
enum class ShapeSize { Full, Third, Tenth };

struct BookShape
{
    QString name;
    BookFile book;
};

struct ShapeRecipe
{
    const char *name;
    int messages;
    QDate first;
    // Calendar days from the first to the last possible day.
    int span;
    // The share of those days on which anyone writes.
    double activeShare;
    Senders senders;
    Texts texts;
    const char *chapters;
    const char *layout;
    bool dedication;
    Spread spread = Spread::Weighted;
};

namespace ShapeText {

inline const QStringList &shortTexts()
{
    static const QStringList texts { "are you up?", "always", "on my way", "haha yes", "ten minutes",
        "did you eat?", "not yet, you?", "pizza?", "obviously", "I miss you", "miss you more", "good night",
        "morning!", "call me when you can", "can't talk, in a meeting", "okay", "ok!!", "what time?",
        "7 works", "running late, sorry", "no rush", "look at this", "I love you", "love you too",
        "that's so funny", "wait what", "noooo", "tell me everything", "later, promise", "where are you?",
        "outside", "coming down", "bring a jacket, it's cold", "did you see the game?", "yes!! unreal",
        "home safe", "sleep well", "you too", "thinking about you", "same", "the train is stuck again", "ugh",
        "want me to pick up milk?", "yes please", "thank you", "anytime", "how was the interview?",
        "I think it went well", "proud of you", "we should go back to that place", "which one?",
        "the one with the blue door", "deal", "Saturday?", "perfect", "can't wait", "me neither",
        "just landed", "text me when you're home", "so tired today", "nap?", "already on the sofa",
        "happy birthday!!", "best day", "I'm so sorry", "it's fine, really", "you're the best", "lol", "brb",
        "back", "what are we doing tonight", "surprise me" };
    return texts;
}

inline const QStringList &sentences()
{
    static const QStringList texts {
        "I was thinking about what you said last night, and honestly you were right.",
        "We should go to the coast this weekend if the weather holds up.",
        "Did you call your mum back? She sounded worried when I saw her at the shop.",
        "The meeting ran over again, so I only got out at seven and the trains were a mess.",
        "I found the photos from the lake, the ones with the dog jumping off the jetty.",
        "It still makes me laugh that you ordered three desserts and then said you weren't hungry.",
        "Work is fine, just a lot of it, and everyone wants everything by Friday.",
        "I keep meaning to tell you how much that evening meant to me.",
        "My sister says hi, and she wants to know when you're coming for dinner.",
        "The landlord finally fixed the heating, so the flat is warm for the first time in weeks.",
        "I read the book you left on the table and now I need to talk about the ending.",
        "Tomorrow is going to be long, but I'll call you on the way home.",
        "Remember the café by the station? It closed, and I felt oddly sad about it.",
        "I'm proud of you, and I don't say it enough.",
        "The garden is a jungle after all that rain; the tomatoes have taken over the path.",
        "We could leave early on Saturday and stop for breakfast on the way.",
        "I tried that recipe again and this time the bread actually rose.",
        "Sorry I was short with you earlier, it was a rough afternoon and not your fault.",
        "The kids next door have learnt the trumpet, or at least one note of it.",
        "Let's not plan anything on Sunday, just coffee and the paper and nowhere to be."
    };
    return texts;
}

inline const QStringList &emoji()
{
    static const QStringList faces { "😂", "❤️", "🥹", "👍🏽", "🎉", "🌞", "🍕", "😴", "🙈", "✨", "😭",
        "🔥", "👩‍❤️‍👨", "🇫🇷", "🥂", "💛", "🤣", "😘", "🙏", "🐶" };
    return faces;
}

inline const QStringList &links()
{
    static const QStringList texts { "https://maps.app.goo.gl/x7Qe2NfLkP9bV3sZ8",
        "https://www.youtube.com/watch?v=dQw4w9WgXcQ",
        "https://www.theguardian.com/travel/2024/mar/12/best-coastal-walks-uk-spring",
        "look https://www.instagram.com/p/C4kLmN2oPqR/",
        "https://open.spotify.com/track/4uLU6hMCjMI75M1A2tKUQC",
        "this one?? https://www.airbnb.com/rooms/52801234?check_in=2024-05-10&check_out=2024-05-12" };
    return texts;
}

} // namespace ShapeText

// How many messages fall on each day of a recipe's span: its active days
// only, the first and the last with at least one; the rest spread as the
// recipe says.
inline QList<std::pair<QDate, int>> busyDays(const ShapeRecipe &recipe, QRandomGenerator &random)
{
    QList<std::pair<QDate, int>> days;
    QList<double> cumulative;
    double sum = 0;
    for (int d = 0; d < recipe.span; ++d) {
        if (d == 0 || d == recipe.span - 1 || random.generateDouble() < recipe.activeShare) {
            days.append({ recipe.first.addDays(d), 0 });
            cumulative << (sum += 0.15 - std::log(1.0 - random.generateDouble()));
        }
    }
    days.first().second = days.last().second = 1;
    if (recipe.spread == Spread::Daily) {
        for (auto &day : days)
            day.second = 1;
        return days;
    }
    for (int i = 2; i < recipe.messages; ++i) {
        if (recipe.spread == Spread::Even) {
            ++days[int(random.bounded(int(days.size())))].second;
            continue;
        }
        const double pick = random.generateDouble() * sum;
        ++days[int(std::lower_bound(cumulative.cbegin(), cumulative.cend(), pick) - cumulative.cbegin())]
              .second;
    }
    return days;
}

// A message text of the kind the recipe names.
inline QString shapeText(Texts texts, QRandomGenerator &random)
{
    auto pick = [&](const QStringList &list) { return list[int(random.bounded(list.size()))]; };
    auto paragraphs = [&](int least, int most) {
        const int target = least + int(random.bounded(most - least));
        QString text;
        while (text.size() < target) {
            if (!text.isEmpty())
                text += random.bounded(7) == 0 ? QStringLiteral("\n") : QStringLiteral(" ");
            text += pick(ShapeText::sentences());
        }
        return text;
    };
    switch (texts) {
    case Texts::Short:
        return pick(ShapeText::shortTexts());
    case Texts::Mixed:
        return random.bounded(4) == 0 ? paragraphs(50, 160) : pick(ShapeText::shortTexts());
    case Texts::Long:
        return paragraphs(150, 700);
    case Texts::Emoji: {
        QString marks;
        for (int n = 1 + int(random.bounded(3)); n > 0; --n)
            marks += pick(ShapeText::emoji());
        if (random.bounded(5) == 0)
            return marks + marks;
        const QString words = pick(ShapeText::shortTexts());
        return random.bounded(3) == 0 ? marks + QLatin1Char(' ') + words : words + QLatin1Char(' ') + marks;
    }
    case Texts::Middling: {
        // 6 to 18 words from the start of a sentence or two; a third end
        // with an emoji or two.
        QStringList words = pick(ShapeText::sentences()).split(QLatin1Char(' '));
        const int wanted = 6 + int(random.bounded(13));
        while (words.size() < wanted)
            words += pick(ShapeText::sentences()).split(QLatin1Char(' '));
        QString text = words.mid(0, wanted).join(QLatin1Char(' '));
        if (random.bounded(3) == 0) {
            text += QLatin1Char(' ') + pick(ShapeText::emoji());
            if (random.bounded(3) == 0)
                text += pick(ShapeText::emoji());
        }
        return text;
    }
    case Texts::Export:
        switch (random.bounded(20)) {
        case 0:
            return paragraphs(50, 160);
        case 1:
        case 2:
            return pick(ShapeText::links());
        default:
            return pick(ShapeText::shortTexts());
        }
    }
    return {};
}

// A small export's attachments and deletions on top of its texts: photos
// (some captioned), voice notes, and messages deleted after they were sent.
inline void exportExtras(BookFile::Message &message, QRandomGenerator &random)
{
    switch (random.bounded(16)) {
    case 0:
    case 1:
        message.media = QStringList { QStringLiteral("photo") };
        message.text.reset();
        break;
    case 2:
        message.media = QStringList { QStringLiteral("photo"), QStringLiteral("photo") };
        break;
    case 3:
        message.media = QStringList { QStringLiteral("voice memo") };
        message.text.reset();
        break;
    case 4:
        message.text = message.from == QLatin1String("me") ? QStringLiteral("You deleted this message")
                                                           : QStringLiteral("This message was deleted");
        break;
    default:
        break;
    }
}

// Who writes next: turn about with now and then a second message, runs of
// a few from one side, or a group passing the word around.
class ShapeSpeakers
{
public:
    ShapeSpeakers(Senders senders, int people)
        : m_senders(senders)
        , m_people(people)
    { }

    int next(QRandomGenerator &random)
    {
        switch (m_senders) {
        case Senders::Alternating:
            if (random.bounded(8) != 0)
                m_speaker = 1 - m_speaker;
            break;
        case Senders::Runs:
            if (m_left-- <= 0) {
                m_speaker = 1 - m_speaker;
                m_left = 1 + int(random.bounded(8));
            }
            break;
        case Senders::Group:
            if (m_left-- <= 0) {
                m_speaker = (m_speaker + 1 + int(random.bounded(m_people - 1))) % m_people;
                m_left = int(random.bounded(3));
            }
            break;
        }
        return m_speaker;
    }

private:
    Senders m_senders;
    int m_people;
    int m_speaker = 0;
    int m_left = 0;
};

// The book of one recipe: its messages at times from morning to night on
// its busy days, now and then with a photo, and the look it names.
inline BookFile shapeBook(const ShapeRecipe &recipe)
{
    // Seeded by the name before any comma, so that the group is the same
    // conversation in both layouts.
    QRandomGenerator random(quint32(qHash(QByteArray(recipe.name).split(',').first())));
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("Sam & Maya");
    book.front.colophon = QStringLiteral("Our messages");
    if (recipe.dedication)
        book.front.dedication = { QStringLiteral("For Maya,"), QStringLiteral("who always texts back.") };
    book.people = { { "me", "Sam", true }, { "+15550001", "Maya", false } };
    if (recipe.senders == Senders::Group) {
        book.front.title = QStringLiteral("The Lake House");
        book.people << BookFile::Person { "+15550002", "Jordan Lee", false }
                    << BookFile::Person { "+15550003", "Priya", false };
    }

    ShapeSpeakers speakers(recipe.senders, int(book.people.size()));
    for (const auto &[day, count] : busyDays(recipe, random)) {
        QList<int> minutes;
        for (int n = 0; n < count; ++n)
            minutes << 7 * 60 + int(random.bounded(17 * 60 - 5));
        std::sort(minutes.begin(), minutes.end());
        for (int minute : minutes) {
            BookFile::Message message;
            message.id = QStringLiteral("m%1").arg(book.messages.size() + 1);
            message.at = QDateTime(day, QTime(minute / 60, minute % 60, int(random.bounded(60))))
                             .toString(Qt::ISODate);
            message.from = book.people[speakers.next(random)].id;
            message.text = shapeText(recipe.texts, random);
            if (recipe.texts == Texts::Export)
                exportExtras(message, random);
            if (random.bounded(40) == 0) {
                message.media = QStringList { QStringLiteral("photo") };
                if (random.bounded(2) == 0)
                    message.text.reset();
            }
            book.messages.append(message);
        }
    }
    book.stats = BookFile::Stats { int(book.messages.size()), book.messages.first().at.left(10),
        book.messages.last().at.left(10) };

    Design design;
    design.chapters = QString::fromLatin1(recipe.chapters);
    if (QLatin1String(recipe.layout) != QLatin1String("novel"))
        design.layout = QString::fromLatin1(recipe.layout);
    design.receiptLines = Insights::read(book).receiptLines;
    book.design = design;
    return book;
}

inline const QList<ShapeRecipe> &shapeRecipes()
{
    static const QList<ShapeRecipe> recipes {
        { "short alternating", 3000, QDate(2023, 1, 1), 365, 0.85, Senders::Alternating, Texts::Short,
            "month", "novel", true },
        { "runs from one side", 2500, QDate(2023, 3, 1), 240, 0.8, Senders::Runs, Texts::Mixed, "month",
            "novel", true },
        { "long messages", 500, QDate(2022, 9, 1), 180, 0.5, Senders::Alternating, Texts::Long, "month",
            "novel", false },
        { "emoji-heavy", 2000, QDate(2024, 2, 1), 120, 0.8, Senders::Alternating, Texts::Emoji, "month",
            "novel", true },
        { "many months", 2000, QDate(2020, 1, 1), 1095, 0.3, Senders::Runs, Texts::Mixed, "month", "novel",
            true },
        { "one year, yearly chapters", 3000, QDate(2023, 1, 1), 365, 0.85, Senders::Alternating, Texts::Mixed,
            "year", "novel", true },
        { "a few days", 400, QDate(2024, 7, 12), 3, 1.0, Senders::Alternating, Texts::Mixed, "month", "novel",
            true },
        { "group, novel layout", 2000, QDate(2024, 5, 1), 120, 0.75, Senders::Group, Texts::Mixed, "month",
            "novel", false },
        { "group, chat-room layout", 2000, QDate(2024, 5, 1), 120, 0.75, Senders::Group, Texts::Mixed,
            "month", "chatroom", false },
        { "group, long messages, chat-room layout", 600, QDate(2024, 5, 1), 120, 0.6, Senders::Group,
            Texts::Long, "month", "chatroom", false },
        { "sparse, monthly chapters", 2000, QDate(2021, 1, 1), 1095, 0.85, Senders::Alternating, Texts::Short,
            "month", "novel", true, Spread::Even },
        { "sparse, yearly chapters", 1400, QDate(2022, 1, 1), 730, 0.85, Senders::Runs, Texts::Short, "year",
            "novel", false, Spread::Even },
        { "a message a day", 700, QDate(2023, 1, 1), 730, 0.95, Senders::Alternating, Texts::Mixed, "month",
            "novel", true, Spread::Daily },
        { "middling, with emoji", 1500, QDate(2024, 1, 1), 182, 0.8, Senders::Alternating, Texts::Middling,
            "month", "novel", true },
        { "small export", 220, QDate(2024, 3, 1), 75, 0.6, Senders::Alternating, Texts::Export, "month",
            "novel", false },
    };
    return recipes;
}

// Every shape; a smaller one has a part of the full one's messages and of
// its days alike, so that its days are as busy.
inline QList<BookShape> bookShapes(ShapeSize size)
{
    const int part = size == ShapeSize::Tenth ? 10 : size == ShapeSize::Third ? 3 : 1;
    QList<BookShape> shapes;
    for (ShapeRecipe recipe : shapeRecipes()) {
        if (part > 1) {
            recipe.messages = std::max(60, recipe.messages / part);
            recipe.span = std::max(3, recipe.span / part);
        }
        shapes.append({ QString::fromLatin1(recipe.name), shapeBook(recipe) });
    }
    return shapes;
}

// The shape with its first message of the day a third of the way in
// pinned that many pages after the page the estimate lands it on.
inline BookShape pinnedLater(const BookShape &shape, int pages)
{
    BookFile book = shape.book;
    const Insights insights = Insights::read(book);
    if (insights.days.isEmpty())
        return shape;
    const QString day = insights.days[insights.days.size() / 3].iso;
    const auto opening = std::find_if(book.messages.cbegin(), book.messages.cend(),
        [&](const BookFile::Message &message) { return message.day() == day; });
    const int natural = insights.landingPage(insights.days.first().iso, day, PageModel::of(book));
    book.edits.pins = QList<Edits::Pin> { { opening->id, natural + pages } };
    return { shape.name + QStringLiteral(", pinned"), book };
}

// The shape in chapters of the user's own: one at its first message and
// one at the message halfway through, in place of its monthly or yearly
// ones.
inline BookShape ownChapters(const BookShape &shape)
{
    BookFile book = shape.book;
    if (book.messages.isEmpty())
        return shape;
    book.edits.chapters = QList<Edits::ChapterBreak> { { book.messages.first().id, QStringLiteral("Before") },
        { book.messages[book.messages.size() / 2].id, QStringLiteral("After") } };
    return { shape.name + QStringLiteral(", own chapters"), book };
}

// The wizard's estimate of a whole book in its own look: every day from
// its first to its last.
inline int estimatedPages(const BookFile &book)
{
    const Insights insights = Insights::read(book);
    if (insights.days.isEmpty())
        return 0;
    return insights.estimatedPages(insights.days.first().iso, insights.days.last().iso, PageModel::of(book));
}

} // namespace Bench
