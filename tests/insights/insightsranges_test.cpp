#include "insights/insights.h"
#include "insightstest.h"

using namespace Qt::StringLiterals;

namespace {

Insights withDays(const QList<Insights::DayCount> &days)
{
    Insights insights;
    insights.days = days;
    return insights;
}

QStringList ids(const QList<Insights::Suggestion> &suggestions)
{
    QStringList made;
    for (const Insights::Suggestion &s : suggestions)
        made.append(s.id);
    return made;
}

const Insights::Suggestion *find(const QList<Insights::Suggestion> &suggestions, const QString &id)
{
    for (const Insights::Suggestion &s : suggestions) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

// Three January days of 100 lines: in a new book's look (the title page
// and its back, a receipt, one chapter opening of four lines) the page
// model gives 5.56, 8.02 and 10.49 pages after each.
const Insights january
    = withDays({ { "2024-01-10", 5, 100 }, { "2024-01-11", 5, 100 }, { "2024-01-12", 5, 100 } });

// The look a new book starts in.
const PageModel newBook;

PageModel modelOf(const char *chapters, const QStringList &dedication = {}, bool receipt = true)
{
    Design design;
    design.chapters = QString::fromLatin1(chapters);
    design.receipt = receipt;
    return PageModel::of(design, dedication);
}

} // namespace

using PageEstimates = InsightsTest;

TEST_F(PageEstimates, emptyRangeIsZeroPagesNotFrontMatter)
{
    EXPECT_EQ(january.estimatedPages("2024-02-01", "2024-02-28", newBook), 0);
    EXPECT_EQ(january.messages("2024-02-01", "2024-02-28"), 0);
}

// A day of one message: its heading with the blank line above it and the
// message, on page 1 between the title page with its back and the receipt.
TEST_F(PageEstimates, oneMessageIsFourPages)
{
    EXPECT_EQ(withDays({ { "2024-01-05", 1, 3 } }).estimatedPages("2024-01-05", "2024-01-05", newBook), 4);
}

// Chapters open on a new page, leaving the page before them half empty on
// average: a sparse book of many months is longer with a chapter a month
// than with one a year, and longer again than with none.
TEST_F(PageEstimates, ChaptersDedicationAndReceiptArePrintedPages)
{
    QList<Insights::DayCount> days;
    for (int month = 1; month <= 24; ++month) {
        days.append({ QStringLiteral("%1-%2-10")
                          .arg(2022 + (month - 1) / 12)
                          .arg((month - 1) % 12 + 1, 2, 10, QLatin1Char('0')),
            40, 81 });
    }
    const Insights sparse = withDays(days);
    const auto pages
        = [&](const PageModel &model) { return sparse.estimatedPages("2022-01-01", "2023-12-31", model); };
    // 1,944 lines are 47.9 pages; 24 chapters add 13.9, 2 add 0.7.
    EXPECT_EQ(pages(PageModel()), 65);
    EXPECT_EQ(pages(modelOf("month")), 65);
    EXPECT_EQ(pages(modelOf("year")), 52);
    EXPECT_EQ(pages(modelOf("none")), 51);
    EXPECT_EQ(pages(modelOf("month", { "For Sam" })), 67);
    EXPECT_EQ(pages(modelOf("month", { "", "  " })), 65);
    EXPECT_EQ(pages(modelOf("month", {}, false)), 64);

    BookFile book;
    book.front.dedication = { QStringLiteral("For Sam") };
    EXPECT_EQ(PageModel::of(book), modelOf("month", { "For Sam" }));
    book.design = Design();
    book.design->chapters = QStringLiteral("year");
    EXPECT_EQ(PageModel::of(book), modelOf("year", { "For Sam" }));
}

TEST_F(PageEstimates, lastDayFittingStopsBeforeTheBudgetIsExceeded)
{
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 5, newBook), u"2024-01-01");
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 6, newBook), u"2024-01-10");
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 8, newBook), u"2024-01-10");
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 9, newBook), u"2024-01-11");
    EXPECT_EQ(january.lastDayFitting("2024-01-11", 5, newBook), u"2024-01-11");
    // Everything fits: the book's last day, whatever range the caller has.
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 1000, newBook), u"2024-01-12");
    EXPECT_EQ(withDays({}).lastDayFitting("2024-01-01", 1000, newBook), u"2024-01-01");
    // The page model is the same one: without a receipt, two days fit 8.
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 8, modelOf("month", {}, false)), u"2024-01-11");
}

TEST_F(PageEstimates, bookSpanSaysHowMuchFits)
{
    const auto span = [](const QString &end) {
        return withDays({ { "2022-01-01", 1, 1 }, { end, 1, 1 } })
            .bookSpan("2022-01-01", "2099-12-31", 1000, newBook);
    };
    EXPECT_EQ(span("2022-01-01"), u"about 1 days");
    EXPECT_EQ(span("2022-01-14"), u"about 13 days");
    EXPECT_EQ(span("2022-01-15"), u"about 2 weeks");
    EXPECT_EQ(span("2022-03-11"), u"about 10 weeks");
    EXPECT_EQ(span("2022-03-12"), u"about 2 months");
    EXPECT_EQ(span("2023-12-31"), u"about 24 months");
    EXPECT_EQ(span("2024-01-01"), u"about 2 years");
    EXPECT_EQ(january.bookSpan("2024-01-10", "2024-01-12", 1000, newBook), u"all of it");
    EXPECT_EQ(january.bookSpan("2024-01-01", "2024-01-12", 9, newBook), u"about 10 days");
    EXPECT_EQ(
        january.bookSpan("2024-01-01", "2024-01-12", 9, modelOf("month", { "For Sam" })), u"about 9 days");
    EXPECT_EQ(january.bookSpan("2024-01-10", "2024-01-12", 10, newBook), u"about 1 days");
    EXPECT_EQ(january.bookSpan("2024-01-10", "2024-01-12", 10, modelOf("month", {}, false)), u"all of it");
    EXPECT_EQ(january.bookSpan("someday", "2024-01-12", 1000, newBook), u"");
}

// A pin puts blank pages before its message until it starts the page
// asked for: the estimate counts them, from where the message would have
// begun (after 2024-01-10, 2.61 pages into the messages, so on page 3)
// to the top of that page. A page before it, or more than a thousand
// blank pages on, is not honoured and adds nothing.
TEST_F(PageEstimates, APinCountsTheBlankPagesItPutsIn)
{
    const auto pinned = [](QList<PageModel::Pin> pins) {
        PageModel model;
        model.pins = std::move(pins);
        return model;
    };
    EXPECT_EQ(january.landingPage("2024-01-01", "2024-01-11", newBook), 3);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", newBook), 11);
    // 10.59 pages and 6.39 blank ones: from 2.61 to the top of page 10.
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", pinned({ { "2024-01-11", 10 } })), 17);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", pinned({ { "2024-01-11", 3 } })), 11);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", pinned({ { "2024-01-11", 2 } })), 11);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", pinned({ { "2024-01-11", 1003 } })), 1010);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", pinned({ { "2024-01-11", 1004 } })), 11);
    // Only the pins of the days counted count.
    EXPECT_EQ(january.estimatedPages("2024-01-12", "2024-01-12", pinned({ { "2024-01-11", 10 } })), 6);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-10", pinned({ { "2024-01-11", 10 } })), 6);

    // A second pin is reckoned from where the first one left things.
    const PageModel both = pinned({ { "2024-01-11", 10 }, { "2024-01-12", 20 } });
    EXPECT_EQ(january.landingPage("2024-01-01", "2024-01-12", both), 12);
    EXPECT_EQ(january.landingPage("2024-01-01", "2024-01-12", newBook), 6);
    EXPECT_EQ(january.estimatedPages("2024-01-01", "2024-01-12", both), 25);
    // A message before the start has no page of its own but the first.
    EXPECT_EQ(january.landingPage("2024-01-11", "2024-01-10", newBook), 1);
    EXPECT_EQ(january.landingPage("2024-01-10", "2024-01-10", newBook), 1);

    // The pages a pin adds take room in a book of a page budget.
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 12, newBook), u"2024-01-12");
    EXPECT_EQ(january.lastDayFitting("2024-01-01", 12, pinned({ { "2024-01-11", 10 } })), u"2024-01-10");
    EXPECT_EQ(
        january.bookSpan("2024-01-01", "2024-01-12", 12, pinned({ { "2024-01-11", 10 } })), u"about 9 days");
}

// The pins of a book as it prints them: a message left out or with
// nothing to print has none, a message pinned twice keeps its first pin,
// and they come by day whatever order they were made in.
TEST_F(PageEstimates, ABooksPinsAreThoseOfTheMessagesItPrints)
{
    BookFile book;
    const auto add = [&](const char *id, const char *at, std::optional<QString> text) {
        BookFile::Message message;
        message.id = QString::fromLatin1(id);
        message.at = QString::fromLatin1(at);
        message.from = QStringLiteral("me");
        message.text = std::move(text);
        book.messages.append(message);
    };
    add("a", "2024-01-10T09:00:00", QStringLiteral("morning"));
    add("b", "2024-01-11T09:00:00", QStringLiteral("left out"));
    add("c", "2024-01-12T09:00:00", std::nullopt);
    add("d", "2024-01-13T09:00:00", QStringLiteral("night"));
    add("e", "2024-01-14T09:00:00", QString());
    book.edits.hidden = QStringList { QStringLiteral("b") };
    book.edits.text = QMap<QString, QString> { { QStringLiteral("e"), QStringLiteral("said again") } };
    book.edits.pins = QList<Edits::Pin> { { "d", 40 }, { "b", 30 }, { "c", 35 }, { "a", 20 }, { "d", 50 },
        { "e", 60 }, { "nobody", 70 } };
    EXPECT_EQ(PageModel::pinsOf(book),
        (QList<PageModel::Pin> { { "2024-01-10", 20 }, { "2024-01-13", 40 }, { "2024-01-14", 60 } }));
    EXPECT_EQ(PageModel::of(book).pins, PageModel::pinsOf(book));
}

// A book of the user's own chapters counts those and no monthly ones: a
// chapter marked on a message left out opens at the next one printed, and
// a stretch that starts inside a chapter opens with it.
TEST_F(PageEstimates, TheUsersOwnChaptersAreTheChaptersCounted)
{
    QList<BookFile::Message> messages;
    for (int month = 1; month <= 6; ++month) {
        for (int day = 1; day <= 20; ++day) {
            messages.append(message(u"m%1-%2"_s.arg(month).arg(day),
                u"2024-%1-%2T09:00:00"_s.arg(month, 2, 10, QLatin1Char('0'))
                    .arg(day, 2, 10, QLatin1Char('0')),
                "me", u"good morning"_s));
        }
    }
    BookFile own = book(messages);
    own.design = Design();
    own.edits.chapters = QList<Edits::ChapterBreak> { { "m1-1", "Spring" }, { "m4-3", "Summer" } };
    own.edits.hidden = QStringList { u"m4-3"_s };
    const PageModel model = PageModel::of(own);
    EXPECT_EQ(model.chapters, PageModel::Chapters::Own);
    EXPECT_EQ(model.chapterDays, QStringList({ "2024-01-01", "2024-04-04" }));

    const Insights insights = Insights::read(own);
    const auto pages
        = [&](const PageModel &m) { return insights.estimatedPages("2024-01-01", "2024-06-20", m); };
    const int none = pages(modelOf("none"));
    // Each chapter opens a page of its own with a few lines of opening.
    EXPECT_GT(pages(model), none);
    EXPECT_LT(pages(model), pages(modelOf("month")));
    EXPECT_EQ(model.chapterOf(u"2024-05-10"), u"2024-04-04");
    EXPECT_EQ(model.chapterOf(u"2024-04-03"), u"2024-01-01");
    EXPECT_TRUE(PageModel::of(book(messages)).chapterDays.isEmpty());
}

// The chat-room layout sets long messages on the whole measure: a group's
// long messages take fewer pages than in the book layout, and its estimate
// counts the chat-room's lines, not the book layout's.
TEST_F(PageEstimates, TheChatRoomLayoutIsEstimatedOnItsOwnLines)
{
    const QString longText
        = QStringList(12, u"I was thinking about what you said last night, and you were right."_s).join(u' ');
    QList<BookFile::Message> messages;
    for (int day = 1; day <= 28; ++day) {
        for (int i = 0; i < 4; ++i) {
            messages.append(message(u"m%1-%2"_s.arg(day).arg(i),
                u"2024-02-%1T1%2:00:00"_s.arg(day, 2, 10, QLatin1Char('0')).arg(i), i % 2 ? "them" : "me",
                longText));
        }
    }
    BookFile group = book(messages);
    Design design;
    design.layout = u"chatroom"_s;
    group.design = design;
    const Insights insights = Insights::read(group);
    const PageModel chat = PageModel::of(group);
    EXPECT_EQ(chat.layout, PageModel::Layout::ChatRoom);
    PageModel bookLayout = chat;
    bookLayout.layout = PageModel::Layout::Book;
    const int chatPages = insights.estimatedPages("2024-02-01", "2024-02-28", chat);
    const int bookPages = insights.estimatedPages("2024-02-01", "2024-02-28", bookLayout);
    EXPECT_LT(double(chatPages), 0.9 * bookPages) << chatPages << " against " << bookPages;
}

using RangeSuggestions = InsightsTest;

TEST_F(RangeSuggestions, noDaysNoSuggestions)
{
    EXPECT_TRUE(withDays({}).suggestions("2024-06-01").isEmpty());
}

TEST_F(RangeSuggestions, wholeStoryTakesFirstAndLastInListOrder)
{
    const auto suggestions
        = withDays({ { "2024-03-01", 1, 1 }, { "2024-01-01", 1, 1 }, { "2024-02-01", 1, 1 } })
              .suggestions("2024-06-01");
    EXPECT_EQ(ids(suggestions), QStringList({ "everything", "year-2024" }));
    EXPECT_EQ(suggestions[0].title, u"The whole story");
    EXPECT_EQ(suggestions[0].detail, u"From your first message on March 1, 2024 to now.");
    EXPECT_EQ(suggestions[0].from, u"2024-03-01");
    EXPECT_EQ(suggestions[0].to, u"2024-02-01");
}

TEST_F(RangeSuggestions, loudestThreeMonthsNeedFourAndTheEarliestWins)
{
    const auto suggestions = withDays(
        { { "2023-12-05", 10, 10 }, { "2024-01-05", 50, 50 }, { "2024-02-05", 50, 50 },
            { "2024-03-05", 10,
                10 } }).suggestions("2024-06-01");
    const Insights::Suggestion *busiest = find(suggestions, "busiest");
    ASSERT_TRUE(busiest);
    EXPECT_EQ(busiest->title, u"Your loudest three months");
    EXPECT_EQ(busiest->detail, u"110 messages, December 2023 to February 2024.");
    EXPECT_EQ(busiest->from, u"2023-12-01");
    EXPECT_EQ(busiest->to, u"2024-02-29");

    const auto three = withDays({ { "2024-01-05", 1, 1 }, { "2024-02-05", 1, 1 }, { "2024-03-05", 1, 1 } });
    EXPECT_FALSE(find(three.suggestions("2024-06-01"), "busiest"));
}

TEST_F(RangeSuggestions, loudMonthsUseTheLocalesGrouping)
{
    const auto suggestions = withDays(
        { { "2024-01-05", 1234, 1 }, { "2024-02-05", 1, 1 }, { "2024-03-05", 1, 1 },
            { "2024-04-05", 1,
                1 } }).suggestions("2024-06-01");
    EXPECT_TRUE(find(suggestions, "busiest")->detail.startsWith(u"1,236 messages, January 2024"));
    EXPECT_EQ(find(suggestions, "year-2024")->detail, u"1,237 messages.");
}

TEST_F(RangeSuggestions, beginningNeedsLoveAfterTheFirstDay)
{
    Insights insights = withDays({ { "2024-01-05", 1, 1 }, { "2024-01-20", 1, 1 } });
    insights.firstLove.insert("them", message("2", "2024-01-20T10:00:00", "them", u"ily"_s));
    insights.firstLove.insert("me", message("3", "2024-01-25T10:00:00", "me", u"ily"_s));
    const QList<Insights::Suggestion> suggestions = insights.suggestions("2024-06-01");
    const Insights::Suggestion *beginning = find(suggestions, "beginning");
    ASSERT_TRUE(beginning);
    EXPECT_EQ(beginning->title, u"From hello to \u201CI love you\u201D");
    EXPECT_EQ(beginning->from, u"2024-01-05");
    EXPECT_EQ(beginning->to, u"2024-01-27");

    insights.firstLove.insert("them", message("1", "2024-01-05T10:00:00", "them", u"ily"_s));
    EXPECT_FALSE(find(insights.suggestions("2024-06-01"), "beginning"));
}

TEST_F(RangeSuggestions, threeMostRecentYearsWithinTheBook)
{
    const Insights insights = withDays(
        { { "2021-05-01", 1, 1 }, { "2022-07-01", 2, 1 }, { "2023-02-01", 3, 1 }, { "2024-03-10", 4, 1 } });
    const auto suggestions = insights.suggestions("2024-06-01");
    EXPECT_EQ(ids(suggestions).mid(1), QStringList({ "busiest", "year-2024", "year-2023", "year-2022" }));
    const Insights::Suggestion *now = find(suggestions, "year-2024");
    EXPECT_EQ(now->title, u"2024 so far");
    EXPECT_EQ(now->detail, u"4 messages.");
    EXPECT_EQ(now->from, u"2024-01-01");
    EXPECT_EQ(now->to, u"2024-03-10");
    EXPECT_EQ(find(suggestions, "year-2023")->title, u"2023");

    const auto started
        = withDays({ { "2023-07-01", 1, 1 }, { "2024-03-10", 1, 1 } }).suggestions("2025-01-01");
    EXPECT_EQ(find(started, "year-2023")->from, u"2023-07-01");
    EXPECT_EQ(find(started, "year-2023")->to, u"2023-12-31");
    EXPECT_EQ(find(started, "year-2024")->title, u"2024");
}
