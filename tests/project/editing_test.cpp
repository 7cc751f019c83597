#include "model/day.h"
#include "projecttest.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {

class EditingTest : public ::testing::Test
{
protected:
    EditingTest()
    {
        BookFile book = bookOf({ "one", "two", "three", "four", "five", "six" });
        book.design = Design();
        m_project = openExisting(book);
        m_project->setTypesetter(m_typst.typesetter());
    }

    const Edits &edits() const { return m_project->book().edits; }
    BookFile::Message message(int i) const { return m_project->book().messages.at(i); }
    QByteArray saved() const
    {
        return TestSupport::readFile(m_project->folder() + QStringLiteral("/book.json"));
    }

    BooksFolder m_books;
    ManualClock m_clock;
    FakeTypst m_typst;
    std::unique_ptr<Project> m_project;
};

TEST_F(EditingTest, ToggledListsGoBackToAbsent)
{
    m_project->toggleHidden(message(1));
    m_project->toggleBold(message(1));
    EXPECT_EQ(m_project->messagesInRange(), 5);
    m_project->toggleHidden(message(1));
    m_project->toggleBold(message(1));
    EXPECT_FALSE(edits().hidden);
    EXPECT_FALSE(edits().emphasis);
    EXPECT_FALSE(saved().contains("\"hidden\""));

    // A phrase stays when the whole message's bold goes.
    BookFile book = m_project->book();
    book.edits.emphasis = QList<Edits::Emphasis> { { message(2).id, QStringLiteral("thr") } };
    m_project->setBook(book);
    m_project->toggleBold(message(2));
    m_project->toggleBold(message(2));
    EXPECT_EQ(edits().emphasis->size(), 1);

    m_project->pin(message(3), 9);
    m_project->pin(message(3), 12);
    ASSERT_EQ(edits().pins->size(), 1);
    EXPECT_EQ(m_project->pinFor(message(3))->page, 12);
    m_project->unpin(message(3).id);
    EXPECT_FALSE(edits().pins);
}

TEST_F(EditingTest, WordsAreTrimmedOfBlanksAndKeptOnceIgnoringCase)
{
    const QByteArray before = saved();
    m_project->addWord(QStringLiteral(" \t "));
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(m_clock.waiting(), 1); // only the request opening made

    m_project->addWord(QStringLiteral(" Love\t"));
    m_project->addWord(QStringLiteral("love"));
    EXPECT_EQ(edits().words, QStringList { "Love" });
    m_project->removeWord(QStringLiteral("love"));
    EXPECT_EQ(edits().words, QStringList { "Love" });
    m_project->removeWord(QStringLiteral("Love"));
    EXPECT_FALSE(edits().words);
}

TEST_F(EditingTest, ChaptersOpenWithTheRangeAndGoAwayBelowTwo)
{
    m_project->startChapter(message(3), QStringLiteral("Later"));
    ASSERT_EQ(edits().chapters->size(), 2);
    EXPECT_EQ(edits().chapters->at(0), (Edits::ChapterBreak { "m0", longDay("2024-03-01") }));
    EXPECT_EQ(edits().chapters->at(1), (Edits::ChapterBreak { "m3", "Later" }));

    m_project->startChapter(message(1), QStringLiteral("Between"));
    m_project->startChapter(message(3), QStringLiteral("Renamed"));
    QStringList starts;
    for (const Edits::ChapterBreak &chapter : *edits().chapters)
        starts << chapter.start + QLatin1Char('=') + chapter.title;
    EXPECT_EQ(starts, QStringList({ "m0=" + longDay("2024-03-01"), "m1=Between", "m3=Renamed" }));

    m_project->removeChapter(QStringLiteral("m1"));
    m_project->removeChapter(QStringLiteral("m3"));
    EXPECT_FALSE(edits().chapters);
    m_project->startChapter(message(0), QStringLiteral("Alone"));
    EXPECT_EQ(edits().chapters->size(), 1);
}

TEST_F(EditingTest, RemovingTheOpeningOfTwoChaptersKeepsTheOther)
{
    m_project->startChapter(message(3), QStringLiteral("Paris"));
    ASSERT_EQ(edits().chapters->size(), 2);
    m_project->removeChapter(QStringLiteral("m0"));
    ASSERT_TRUE(edits().chapters);
    EXPECT_EQ(*edits().chapters, (QList<Edits::ChapterBreak> { { "m3", "Paris" } }));
    EXPECT_TRUE(saved().contains("Paris"));

    // The user's own chapter going leaves the opening alone: months again.
    m_project->startChapter(message(3), QStringLiteral("Paris"));
    m_project->removeChapter(QStringLiteral("m3"));
    EXPECT_FALSE(edits().chapters);
}

TEST_F(EditingTest, RangeEndsOfTheBookItselfAreStoredOpen)
{
    m_project->setRange(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-06"));
    EXPECT_FALSE(edits().range);
    m_project->setRange(QStringLiteral("2024-03-02"), QStringLiteral("2024-03-06"));
    EXPECT_EQ(edits().range, (Edits::DayRange { "2024-03-02", std::nullopt }));
    EXPECT_EQ(m_project->messagesInRange(), 5);
    // The receipt follows the range.
    EXPECT_TRUE(m_project->book().design->receiptLines);

    m_project->setRange(QStringLiteral("2024-03-05"), QStringLiteral("2024-03-02"));
    EXPECT_EQ(m_project->from(), "2024-03-05");
    EXPECT_EQ(m_project->messagesInRange(), 0);
}

TEST_F(EditingTest, AnAddedPageGoesBeforeTheDaysFirstShownMessage)
{
    m_project->addPage(QStringLiteral("2024-03-04"), QStringLiteral("  An epigraph\n"));
    m_project->addPage(QStringLiteral("2024-03-04"), QStringLiteral("second"));
    ASSERT_EQ(edits().inserts->size(), 2);
    EXPECT_EQ(edits().inserts->at(0), (Edits::Insert { "m3", "page", QStringLiteral("  An epigraph\n") }));
    EXPECT_EQ(edits().inserts->at(1), (Edits::Insert { "m3", "page", QStringLiteral("second") }));
}

// The sheet offers every calendar day of the range: a day without shown
// messages must not swallow the page.
TEST_F(EditingTest, AnAddedPageOnADayWithoutShownMessagesGoesBeforeTheNextOne)
{
    m_project->toggleHidden(message(2));
    m_project->addPage(QStringLiteral("2024-03-03"), QStringLiteral("hidden day"));
    m_project->addPage(QStringLiteral("2024-02-10"), QStringLiteral("before the book"));
    ASSERT_EQ(edits().inserts->size(), 2);
    EXPECT_EQ(edits().inserts->at(0).before, "m3");
    EXPECT_EQ(edits().inserts->at(1).before, "m0");
}

// What the user writes is printed: a page placed before a message the
// book doesn't print would never be.
TEST_F(EditingTest, AnAddedPageStaysBeforeAMessageTheRangePrints)
{
    m_project->setRange(QStringLiteral("2024-03-02"), QStringLiteral("2024-03-04"));
    // Past the last day with messages: before that day's first.
    m_project->addPage(QStringLiteral("2024-03-05"), QStringLiteral("after the range"));
    // Before the range: before its first message.
    m_project->addPage(QStringLiteral("2024-03-01"), QStringLiteral("before the range"));
    ASSERT_TRUE(edits().inserts);
    ASSERT_EQ(edits().inserts->size(), 2);
    EXPECT_EQ(edits().inserts->at(0).before, "m3");
    EXPECT_EQ(edits().inserts->at(1).before, "m1");

    // The last day's messages left out or printing nothing: the day before.
    m_project->setRange(std::nullopt, std::nullopt);
    m_project->toggleHidden(message(5));
    BookFile book = m_project->book();
    book.messages[4].text = QString();
    m_project->setBook(book);
    m_project->addPage(QStringLiteral("2024-03-05"), QStringLiteral("at the end"));
    ASSERT_EQ(edits().inserts->size(), 3);
    EXPECT_EQ(edits().inserts->at(2).before, "m3");

    // A range that prints nothing keeps the page by the whole book, for when
    // it prints again; a book that prints nothing takes none.
    m_project->setRange(QStringLiteral("2024-03-06"), QStringLiteral("2024-03-06"));
    m_project->addPage(QStringLiteral("2024-03-06"), QStringLiteral("kept"));
    ASSERT_EQ(edits().inserts->size(), 4);
    EXPECT_EQ(edits().inserts->at(3).before, "m3");
    for (int i = 0; i < 4; ++i)
        m_project->toggleHidden(message(i));
    const QByteArray before = saved();
    m_project->addPage(QStringLiteral("2024-03-06"), QStringLiteral("nowhere"));
    EXPECT_EQ(edits().inserts->size(), 4);
    EXPECT_EQ(saved(), before);
}

TEST_F(EditingTest, AddonsKeepWhatTheyRequireAndColourCodingNeedsColour)
{
    m_project->toggleAddon(QStringLiteral("colour-coding"), QStringLiteral("colour"));
    EXPECT_EQ(m_project->book().order->addons, QStringList({ "colour", "colour-coding" }));
    EXPECT_EQ(m_project->book().design->colourCoding, true);
    m_project->toggleAddon(QStringLiteral("colour"), std::nullopt);
    EXPECT_FALSE(m_project->book().order->addons);
    EXPECT_FALSE(m_project->book().design->colourCoding);
}

TEST_F(EditingTest, TheWizardWritesEverythingAtOnce)
{
    m_project->addWord(QStringLiteral("zebra"));
    Project::WizardChoices choices { "2024-03-01", "2024-03-06", Design(), Order(), QString(), "2024",
        { "For Sam", "" }, { "apple", "Zoo", "zebra" }, Edits::Pin { "m2", 4 } };
    choices.design.font = QStringLiteral("garamond");
    m_project->applyWizard(choices);
    const BookFile &book = m_project->book();
    EXPECT_EQ(book.front.title, "You & Sam");
    EXPECT_EQ(book.front.dedication, QStringList({ "For Sam", "" }));
    EXPECT_EQ(book.design->font, "garamond");
    EXPECT_FALSE(book.edits.range);
    EXPECT_EQ(book.edits.words, QStringList({ "Zoo", "apple", "zebra" }));
    EXPECT_EQ(book.edits.pins, (QList<Edits::Pin> { Edits::Pin { "m2", 4 } }));
    EXPECT_TRUE(book.design->receiptLines);
}

TEST_F(EditingTest, SearchFindsEveryWordInThePrintedTexts)
{
    BookFile book = bookOf({ "Café au lait", "the cafe\u0301 AGAIN", "again and again", "tab\there" });
    BookFile::Message media = textMessage("media", "2024-03-09T12:00:00", {});
    media.text.reset();
    book.messages.append(media);
    m_project->setBook(book);
    const auto ids = [&](const QString &query, int limit = 0) {
        QStringList found;
        for (const BookFile::Message &message : m_project->search(query, limit))
            found << message.id;
        return found;
    };
    EXPECT_EQ(ids(QStringLiteral("   ")), QStringList());
    EXPECT_EQ(ids(QStringLiteral("again café")), QStringList({ "m1" }));
    EXPECT_EQ(ids(QStringLiteral("CAFÉ")), QStringList({ "m0", "m1" }));
    EXPECT_EQ(ids(QStringLiteral("again"), 1), QStringList({ "m1" }));
    EXPECT_EQ(ids(QStringLiteral("tab\th")), QStringList({ "m3" }));

    EXPECT_EQ(m_project->replaceAll(QStringLiteral("again"), QStringLiteral("once")), 2);
    EXPECT_EQ(edits().text->value("m2"), "once and once");
    // Replaced words are found in their new form only.
    EXPECT_EQ(ids(QStringLiteral("once")), QStringList({ "m1", "m2" }));
    EXPECT_EQ(ids(QStringLiteral("again")), QStringList());
    EXPECT_EQ(m_project->shownText(message(2)), "once and once");
    EXPECT_EQ(m_project->shownText(message(0)), "Café au lait");
    EXPECT_EQ(m_project->replaceAll(QStringLiteral("ONCE"), QStringLiteral("again")), 2);
    EXPECT_EQ(edits().text->value("m1"), "the cafe\u0301 again");
    m_project->replaceAll(QStringLiteral("the cafe\u0301 again"), QStringLiteral("the cafe\u0301 AGAIN"));
    EXPECT_FALSE(edits().text);
}

TEST_F(EditingTest, ReplacingSkipsMessagesOutsideTheRangeButNotHiddenOnes)
{
    m_project->setBook(bookOf({ "red", "red", "red" }));
    m_project->setRange(std::nullopt, QStringLiteral("2024-03-02"));
    m_project->toggleHidden(message(1));
    EXPECT_EQ(m_project->replaceAll(QStringLiteral("RED"), QStringLiteral("blue")), 2);
    EXPECT_EQ(edits().text->keys(), QStringList({ "m0", "m1" }));
    EXPECT_EQ(m_project->replaceAll(QString(), QStringLiteral("x")), 0);
}

// Messages from the last days of 2023 into 2024, the line under the title
// as the app wrote it: the whole conversation's years.
BookFile acrossNewYear()
{
    BookFile book = bookOf({ "one", "two", "three", "four" });
    for (int i = 0; i < book.messages.size(); ++i)
        book.messages[i].at
            = QDate(2023, 12, 30).addDays(i).toString(Qt::ISODate) + QStringLiteral("T12:00:00");
    book.front.colophon = QStringLiteral("2023\u20132024");
    book.design = Design();
    return book;
}

TEST_F(EditingTest, TheLineUnderTheTitleFollowsTheRangeUntilTheUserWritesOne)
{
    m_project->setBook(acrossNewYear());
    m_project->setRange(QStringLiteral("2024-01-01"), std::nullopt);
    EXPECT_EQ(m_project->book().front.colophon, "2024");
    EXPECT_EQ(BookFile::fromJson(saved()).front.colophon, "2024");
    m_project->setRange(std::nullopt, std::nullopt);
    EXPECT_EQ(m_project->book().front.colophon, "2023\u20132024");

    BookFile written = m_project->book();
    written.front.colophon = QStringLiteral("2023\u20132024");
    written.front.colophonTyped = true;
    m_project->setBook(written);
    m_project->setRange(QStringLiteral("2024-01-01"), std::nullopt);
    EXPECT_EQ(m_project->book().front.colophon, "2023\u20132024");

    // A line of an older book that the app never wrote is the user's too.
    BookFile older = acrossNewYear();
    older.front.colophon = QStringLiteral("Winter");
    m_project->setBook(older);
    m_project->setRange(QStringLiteral("2024-01-01"), std::nullopt);
    EXPECT_EQ(m_project->book().front.colophon, "Winter");
}

TEST_F(EditingTest, TheWizardSaysWhetherTheUserWroteTheLine)
{
    Project::WizardChoices choices { "2024-03-01", "2024-03-06", Design(), Order(), QString(), "Spring", {}, {}, {} };
    choices.colophonTyped = true;
    m_project->applyWizard(choices);
    EXPECT_TRUE(BookFile::fromJson(saved()).front.colophonTyped);
    choices.colophon = QStringLiteral("2024");
    choices.colophonTyped = false;
    m_project->applyWizard(choices);
    EXPECT_FALSE(BookFile::fromJson(saved()).front.colophonTyped);
    EXPECT_EQ(m_project->book().front.colophon, "2024");
}

} // namespace
