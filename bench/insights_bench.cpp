// Insights and special days over a generated book of 200,000 messages, and
// the page estimates the wizard's date pickers ask on every keystroke.
#include "insights/celebrations.h"
#include "insights/insights.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int messageCount = 200'000;
constexpr double readBudgetMs = 300;
constexpr double estimateBudgetMs = 5;

// Six years of a couple's messages: mostly short lines, some emoji and
// accents, photos, late nights, and the phrases the special days look for.
BookFile generatedBook()
{
    const QStringList lines {
        u"hey what are you doing tonight"_s,
        u"haha that's so funny \U0001F602\U0001F602"_s,
        u"I'm on my way, be there in 10"_s,
        u"did you eat yet? pasta again?"_s,
        u"ok"_s,
        u"love you \u2764\uFE0F"_s,
        u"sorry, running late again \U0001F625"_s,
        u"Can you pick up milk on the way home? We're out of coffee too."_s,
        u"lol no way"_s,
        u"Le caf\u00E9 \u00E9tait parfait, on y retourne dimanche ?"_s,
        u"\U0001F44D\U0001F3FD"_s,
        u"Just landed in Lisbon!"_s,
        u"happy birthday my love \U0001F382\U0001F389"_s,
        u"merry christmas \U0001F384"_s,
        u"I miss you already. Tell me about your day when you can, I want to hear everything about the "
        u"meeting and whether they liked the proposal."_s,
    };
    BookFile book;
    book.format = 1;
    book.style = u"novel"_s;
    book.people = { { u"me"_s, u"Alex"_s, true }, { u"them"_s, u"Sam"_s, false } };
    book.messages.reserve(messageCount);
    std::mt19937 random(7);
    std::discrete_distribution<int> pick({ 12, 8, 8, 8, 10, 4, 3, 6, 8, 3, 5, 0.05, 0.05, 0.05, 4 });
    QDateTime at(QDate(2019, 1, 1), QTime(8, 0));
    for (int i = 0; i < messageCount; ++i) {
        // About 91 messages a day, minutes apart, with a few long pauses.
        at = at.addSecs(random() % 100 == 0 ? 40'000 + random() % 20'000 : 30 + random() % 1'200);
        BookFile::Message message;
        message.id = QString::number(i);
        message.at = at.toString(u"yyyy-MM-dd'T'HH:mm:ss"_s);
        message.from = random() % 2 == 0 ? u"me"_s : u"them"_s;
        if (random() % 25 == 0)
            message.media = QStringList { random() % 5 == 0 ? u"voice memo"_s : u"photo"_s };
        else
            message.text = lines[pick(random)];
        book.messages.append(message);
    }
    return book;
}

template<typename Work> double bestOf(int runs, Work &&work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

bool report(const char *what, double ms, double budget)
{
    const bool within = ms <= budget;
    std::printf("%-44s %9.3f ms  (budget %.0f ms) %s\n", what, ms, budget, within ? "ok" : "OVER");
    return within;
}

} // namespace

int main()
{
    QLocale::setDefault(QLocale(u"en_US"_s));
    const BookFile book = generatedBook();

    Insights insights;
    const double read = bestOf(5, [&] { insights = Insights::read(book); });
    const double find = bestOf(5, [&] { Celebrations::find(book.messages, insights.them); });
    std::printf("%d messages, %lld days, %lld moments, %lld special days\n", messageCount,
        qlonglong(insights.days.size()), qlonglong(insights.moments.size()),
        qlonglong(insights.celebrations.size()));

    // A picker moving through the book: a new start day per keystroke.
    const QString last = insights.days.last().iso;
    const PageModel look = PageModel::of(book);
    int sink = 0;
    const int calls = 200;
    const double estimate = bestOf(3, [&] {
        for (int i = 0; i < calls; ++i)
            sink += insights.estimatedPages(insights.days[i * 10].iso, last, look);
    }) / calls;
    const double fitting = bestOf(3, [&] {
        for (int i = 0; i < calls; ++i)
            sink += int(insights.lastDayFitting(insights.days[i * 10].iso, 780, look).size());
    }) / calls;

    bool within = report("Insights::read (special days included)", read, readBudgetMs);
    std::printf("%-44s %9.3f ms\n", "  of which Celebrations::find alone", find);
    within &= report("Insights::estimatedPages, whole book", estimate, estimateBudgetMs);
    within &= report("Insights::lastDayFitting, 780 pages", fitting, estimateBudgetMs);
    return within && sink != 0 ? 0 : 1;
}
