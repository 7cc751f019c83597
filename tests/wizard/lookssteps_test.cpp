// The typeface, chapters and touches steps: what they offer from the
// conversation, and what they write into the model.
#include "ui/card.h"
#include "ui/clampedlabel.h"
#include "ui/clampedtext.h"
#include "ui/style.h"
#include "ui/toggleswitch.h"
#include "wizard/chaptersstep.h"
#include "wizard/touchesstep.h"
#include "wizard/typefacestep.h"
#include "wizardtest.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>

using namespace WizardTest;

namespace {

BookFile talk(const QList<std::pair<QString, QString>> &lines, int people = 2)
{
    BookFile book = spreadBook(QDate(2024, 1, 1), 0);
    if (people > 2)
        book.people.append(person(QStringLiteral("p3"), QStringLiteral("Ali"), false));
    for (int i = 0; i < lines.size(); ++i) {
        const QString at = QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate) + QStringLiteral("T10:00:00");
        book.messages.append(message(QStringLiteral("t%1").arg(i), at, lines[i].first, lines[i].second));
    }
    return book;
}

// The insights of a spread book from March 1, 2024, with Sam's first
// "I love you" on April 10.
Insights lovedOnApril10(const Book &book)
{
    Insights insights = Insights::read(book.project->book());
    insights.firstLove.insert(QStringLiteral("them"), book.project->book().messages[81]);
    return insights;
}

class LooksSteps : public ::testing::Test
{
protected:
    LooksSteps() { noService(); }
};

} // namespace

TEST_F(LooksSteps, SampleIsTheFirstILoveYouAndItsAnswer)
{
    const QString them = QStringLiteral("them");
    const QString me = QStringLiteral("me");
    BookFile book = talk({ { me, QStringLiteral("hi") }, { them, QStringLiteral("hey") },
        { them, QStringLiteral("I love you") }, { them, QStringLiteral("really") },
        { me, QStringLiteral("me too") } });
    EXPECT_EQ(TypefaceStep::samplePair(book, book.messages[2]),
        qMakePair(QStringLiteral("me too"), QStringLiteral("I love you")));
    EXPECT_EQ(TypefaceStep::samplePair(book, book.messages[0]),
        qMakePair(QStringLiteral("hi"), QStringLiteral("hey")));

    // Twenty messages of the same sender from it: the first texts instead.
    QList<std::pair<QString, QString>> lines { { me, QStringLiteral("first of mine") },
        { them, QStringLiteral("first of theirs") }, { them, QStringLiteral("I love you") } };
    for (int i = 0; i < 19; ++i)
        lines.append({ them, QStringLiteral("more") });
    lines.append({ me, QStringLiteral("too late") });
    BookFile longer = talk(lines);
    EXPECT_EQ(TypefaceStep::samplePair(longer, longer.messages[2]),
        qMakePair(QStringLiteral("first of mine"), QStringLiteral("first of theirs")));

    EXPECT_EQ(TypefaceStep::samplePair(talk({}), std::nullopt),
        qMakePair(QStringLiteral("you up?"), QStringLiteral("always")));
    EXPECT_EQ(TypefaceStep::samplePair(talk({ { them, QStringLiteral("anyone?") } }), std::nullopt),
        qMakePair(QStringLiteral("you up?"), QStringLiteral("anyone?")));
}

TEST_F(LooksSteps, GroupsChooseALayoutFirstAndTheBookLayoutIsStoredAsNone)
{
    Book pair(talk({ { QStringLiteral("me"), QStringLiteral("hi") } }));
    WizardModel pairModel(pair.project, WizardModel::Resuming::No);
    TypefaceStep plain(&pairModel);
    EXPECT_FALSE(TestSupport::findText(&plain, QStringLiteral("A chat room")));

    Book group(talk({ { QStringLiteral("me"), QStringLiteral("hi") } }, 3));
    WizardModel model(group.project, WizardModel::Resuming::No);
    TypefaceStep step(&model);
    auto cardOf = [&](const QString &text) {
        QWidget *label = TestSupport::findText(&step, text);
        while (label && !qobject_cast<Card *>(label))
            label = label->parentWidget();
        return qobject_cast<Card *>(label);
    };
    ASSERT_TRUE(cardOf(QStringLiteral("A book")));
    EXPECT_TRUE(cardOf(QStringLiteral("A book"))->isSelected());
    cardOf(QStringLiteral("A chat room"))->click();
    EXPECT_EQ(model.design().layout, QStringLiteral("chatroom"));
    cardOf(QStringLiteral("A book"))->click();
    EXPECT_EQ(model.design().layout, std::nullopt);
    cardOf(QStringLiteral("Garamond"))->click();
    EXPECT_EQ(model.design().font, QStringLiteral("garamond"));
    EXPECT_TRUE(cardOf(QStringLiteral("Garamond"))->isSelected());
    EXPECT_FALSE(cardOf(QStringLiteral("Palatino style"))->isSelected());

    // The samples are set in the face the book is printed in.
    QWidget *sample = TestSupport::findText(&step, QStringLiteral("hi"));
    ASSERT_TRUE(sample);
    EXPECT_EQ(QFontInfo(sample->font()).family(), QStringLiteral("TeX Gyre Pagella"));
}

TEST_F(LooksSteps, ChapterCountsFollowThePrintedMonths)
{
    Book book(spreadBook(QDate(2021, 3, 15), 500));
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setInsights(Insights::read(book.project->book()));
    model.setTo(QStringLiteral("2022-06-02"));
    EXPECT_EQ(ChaptersStep::monthDetail(model), QStringLiteral("16 chapters, from March 2021 to June 2022."));
    EXPECT_EQ(ChaptersStep::yearDetail(model), QStringLiteral("2 chapters: 2021, 2022."));

    model.setPricing([] {
        Pricing pricing;
        pricing.pagesPerVolume = 20;
        return pricing;
    }());
    model.setOneBook(true);
    const QDate end = QDate::fromString(model.effectiveTo(), Qt::ISODate);
    ASSERT_LT(end, QDate(2021, 12, 1));
    const int months = end.month() - 3 + 1;
    EXPECT_EQ(ChaptersStep::monthDetail(model),
        QString::number(months) + (months == 1 ? QStringLiteral(" chapter") : QStringLiteral(" chapters"))
            + QStringLiteral(", from March 2021 to ") + Insights::monthName(model.effectiveTo().left(7))
            + QLatin1Char('.'));
    EXPECT_EQ(ChaptersStep::yearDetail(model), QStringLiteral("1 chapter: 2021."));

    ChaptersStep step(&model);
    qobject_cast<Card *>(TestSupport::findText(&step, QStringLiteral("One long story"))->parentWidget())
        ->click();
    EXPECT_EQ(model.design().chapters, QStringLiteral("none"));
}

TEST_F(LooksSteps, OneMonthReadsOneChapter)
{
    Book book(spreadBook(QDate(2024, 3, 1), 20));
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setInsights(Insights::read(book.project->book()));
    EXPECT_EQ(ChaptersStep::monthDetail(model), QStringLiteral("1 chapter, from March 2024 to March 2024."));
    EXPECT_EQ(ChaptersStep::yearDetail(model), QStringLiteral("1 chapter: 2024."));
    model.setInsights(std::nullopt);
    EXPECT_EQ(ChaptersStep::monthDetail(model), QStringLiteral("0 chapters, from  to ."));
    EXPECT_EQ(ChaptersStep::yearDetail(model), QStringLiteral("0 chapters: ."));
}

TEST_F(LooksSteps, ReceiptPreviewAndSuggestedWords)
{
    Book book(spreadBook(QDate(2024, 3, 1), 20));
    WizardModel model(book.project, WizardModel::Resuming::No);
    EXPECT_EQ(TouchesStep::receiptPreview(model), QStringLiteral("MESSAGES 0"));
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5, 100);
    insights.receiptLines = { { QStringLiteral("Longest streak"), QStringLiteral("21 days") },
        { QStringLiteral("Sorrys"), QStringLiteral("9 you") },
        { QStringLiteral("Photos"), QStringLiteral("12") },
        { QStringLiteral("Hearts"), QStringLiteral("40") } };
    insights.moments = {
        { QStringLiteral("words-me"), QStringLiteral("quote.bubble"), QStringLiteral("Your words"),
            QStringLiteral("\u201Clove\u201D 31\u00D7, \u201Cmiss\u201D 18\u00D7"), std::nullopt,
            std::nullopt },
        { QStringLiteral("silence"), QStringLiteral("moon.zzz"), QStringLiteral("Quiet"), QStringLiteral("x"),
            std::nullopt, std::nullopt },
        { QStringLiteral("words-them"), QStringLiteral("quote.bubble"), QStringLiteral("Their words"),
            QStringLiteral("\u201Chaha\u201D 40\u00D7"), std::nullopt, std::nullopt },
    };
    model.setInsights(insights);
    EXPECT_EQ(TouchesStep::receiptPreview(model),
        QStringLiteral("MESSAGES 2,000 \u00B7 LONGEST STREAK 21 DAYS \u00B7 SORRYS 9 YOU \u00B7 PHOTOS 12"));
    EXPECT_EQ(TouchesStep::suggestedWords(insights),
        (QStringList { QStringLiteral("love"), QStringLiteral("miss"), QStringLiteral("haha") }));

    TouchesStep step(&model);
    auto *love = qobject_cast<QPushButton *>(TestSupport::findText(&step, QStringLiteral("love")));
    ASSERT_TRUE(love);
    love->click();
    EXPECT_EQ(model.words(), QSet<QString> { QStringLiteral("love") });
    love->click();
    EXPECT_TRUE(model.words().isEmpty());
    // Without a first "I love you" there is no pin row.
    EXPECT_FALSE(step.findChild<QLineEdit *>());
}

TEST_F(LooksSteps, PinCaptionNeverSaysPageZero)
{
    Book book(spreadBook(QDate(2024, 3, 1), 60, 2, 200));
    WizardModel model(book.project, WizardModel::Resuming::No);
    const Insights insights = lovedOnApril10(book);
    model.setInsights(insights);
    const int natural = insights.landingPage(model.from(), QStringLiteral("2024-04-10"), model.pageModel());
    EXPECT_GT(natural, 1);
    EXPECT_EQ(TouchesStep::pinCaption(model),
        QStringLiteral(
            "April 10, 2024. It would land around page %1; choose a later page that means something.")
            .arg(natural));
    // Said before the chosen start: no page of its own, so the first.
    model.setFrom(QStringLiteral("2024-04-20"));
    EXPECT_EQ(TouchesStep::pinCaption(model),
        QStringLiteral(
            "April 10, 2024. It would land around page 1; choose a later page that means something."));
}

// The pin row used to say where the message would land and nothing of
// the blank pages a later page puts in before it; and that landing page
// counted the title page, its back and the receipt as pages of messages.
TEST_F(LooksSteps, ThePinRowSaysWhatALaterPageCosts)
{
    Book book(spreadBook(QDate(2024, 3, 1), 60, 2, 200));
    WizardModel model(book.project, WizardModel::Resuming::No);
    const Insights insights = lovedOnApril10(book);
    model.setInsights(insights);
    // A page of messages: the front pages before the first are not counted.
    const int natural = model.loveLanding();
    EXPECT_LT(
        natural, insights.estimatedPages(model.from(), QStringLiteral("2024-04-09"), model.pageModel()));

    TouchesStep step(&model);
    auto *page = step.findChild<QLineEdit *>();
    ASSERT_TRUE(page);
    const QString costly = QStringLiteral("Page %1 adds about 89 blank pages before it.").arg(natural + 89);
    // Said only while the pin is on, and only for a page that adds some.
    model.setPinPage(natural + 89);
    EXPECT_FALSE(TestSupport::findText(&step, costly));
    step.findChildren<ToggleSwitch *>()[1]->click();
    auto *cost = qobject_cast<QLabel *>(TestSupport::findText(&step, costly));
    ASSERT_TRUE(cost);
    EXPECT_FALSE(cost->isHidden());
    page->selectAll();
    QTest::keyClicks(page, QString::number(natural));
    EXPECT_TRUE(cost->isHidden());
    page->selectAll();
    QTest::keyClicks(page, QString::number(natural + 1));
    EXPECT_EQ(cost->text(), QStringLiteral("Page %1 adds about 1 blank page before it.").arg(natural + 1));
    EXPECT_FALSE(cost->isHidden());
    // Said before the chosen start: not in the book, so no pin and no cost.
    model.setFrom(QStringLiteral("2024-04-20"));
    EXPECT_TRUE(cost->isHidden());
}

// Fault mended: the first "I love you" pinned far on pushed a pin the book
// already had off its page, and nothing said so.
TEST_F(LooksSteps, ThePinRowSaysWhenItPushesAnotherPinOffItsPage)
{
    BookFile file = spreadBook(QDate(2024, 3, 1), 60, 2, 200);
    // Sam's message of April 20, where it lands by itself and 5 pages on.
    const BookFile::Message later = file.messages[101];
    ASSERT_EQ(later.day(), QStringLiteral("2024-04-20"));
    Book plain(file);
    WizardModel unpinned(plain.project, WizardModel::Resuming::No);
    unpinned.setInsights(lovedOnApril10(plain));
    const int landsOn = unpinned.insights()->landingPage(unpinned.from(), later.day(), unpinned.pageModel());
    file.edits.pins = QList<Edits::Pin> { { later.id, landsOn + 5 } };
    Book book(file);
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setInsights(lovedOnApril10(book));
    TouchesStep step(&model);
    auto *moves = step.findChild<QLabel *>(QStringLiteral("pinMoves"));
    ASSERT_TRUE(moves);

    // Off, or a page whose blank pages the later pin's own take up: nothing.
    model.setPinPage(model.loveLanding() + 20);
    EXPECT_FALSE(model.movedPin());
    EXPECT_TRUE(moves->isHidden());
    model.setPinLove(true);
    model.setPinPage(model.loveLanding() + 4);
    EXPECT_FALSE(model.movedPin());
    EXPECT_TRUE(moves->isHidden());

    model.setPinPage(model.loveLanding() + 20);
    ASSERT_TRUE(model.movedPin());
    EXPECT_EQ(model.movedPin()->page, landsOn + 5);
    EXPECT_NEAR(model.movedPin()->to, landsOn + 20, 1);
    EXPECT_FALSE(moves->isHidden());
    EXPECT_EQ(moves->text(), PinPages::movedText(*model.movedPin()));
    // In the caution colour, also where the wizard's frame writes in the
    // text role.
    step.setForegroundRole(QPalette::Text);
    const QImage drawn = moves->grab().toImage();
    const QColor caution = Style::warning();
    bool orange = false;
    for (int y = 0; y < drawn.height() && !orange; ++y) {
        for (int x = 0; x < drawn.width() && !orange; ++x) {
            const QColor c = drawn.pixelColor(x, y);
            orange = std::abs(c.red() - caution.red()) < 24 && std::abs(c.green() - caution.green()) < 24
                && std::abs(c.blue() - caution.blue()) < 24;
        }
    }
    EXPECT_TRUE(orange);
    EXPECT_TRUE(moves->text().startsWith(
        QStringLiteral("The pin on page %1 can't stay there: it would move to page ").arg(landsOn + 5)));

    // A first "I love you" outside the range moves nothing.
    model.setFrom(QStringLiteral("2024-04-15"));
    EXPECT_FALSE(model.movedPin());
    EXPECT_TRUE(moves->isHidden());
}

TEST_F(LooksSteps, PinPageFieldFollowsTheSwitchAndKeepsItsPage)
{
    Book book(spreadBook(QDate(2024, 3, 1), 60));
    WizardModel model(book.project, WizardModel::Resuming::No);
    const Insights insights = lovedOnApril10(book);
    model.setInsights(insights);
    TouchesStep step(&model);
    auto *page = step.findChild<QLineEdit *>();
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->isEnabled());
    QList<ToggleSwitch *> switches = step.findChildren<ToggleSwitch *>();
    ASSERT_EQ(switches.size(), 2);
    switches[1]->click();
    EXPECT_TRUE(model.pinLove());
    EXPECT_TRUE(page->isEnabled());
    page->clear();
    QTest::keyClicks(page, QStringLiteral("12"));
    EXPECT_EQ(model.pinPage(), 12);
    QTest::keyClicks(page, QStringLiteral("x"));
    EXPECT_EQ(model.pinPage(), 12);
    switches[1]->click();
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(page->text(), QStringLiteral("12"));
    EXPECT_EQ(model.pinPage(), 12);

    switches[0]->click();
    EXPECT_FALSE(model.design().receipt);
    auto *dedication = step.findChild<QPlainTextEdit *>();
    dedication->setFocus();
    QTest::keyClicks(dedication, QStringLiteral("For Sam"));
    QTest::keyClick(dedication, Qt::Key_Return);
    QTest::keyClicks(dedication, QStringLiteral("always"));
    EXPECT_EQ(model.dedication(), QStringLiteral("For Sam\nalways"));
}

namespace {

// Pixels of another colour than the one most of the picture has.
int inkOf(const QImage &picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    }
    int most = 0;
    for (const int count : std::as_const(counts))
        most = std::max(most, count);
    return int(picture.width() * picture.height()) - most;
}

} // namespace

// Fault mended: "ZOË LEFÈVRE" came out "ZOE LEFEVRE", the marks over the
// capitals cut off at the top of the preview's line.
TEST_F(LooksSteps, TheReceiptPreviewDrawsEveryNameAsWritten)
{
    Book book(spreadBook(QDate(2024, 3, 1), 20));
    WizardModel model(book.project, WizardModel::Resuming::No);
    Insights insights = daysOf(QDate(2024, 3, 1), 20, 5, 100);
    model.setInsights(insights);
    TouchesStep step(&model);
    step.resize(700, 500);
    step.show();
    auto *preview = step.findChild<ClampedLabel *>();
    ASSERT_TRUE(preview);
    const QStringList names { QStringLiteral("Zo\u00EB Lef\u00E8vre"),
        QStringLiteral("Zoe\u0308 Lefe\u0300vre"), QStringLiteral("\u00C5sa \u00C1ngstr\u00F6m"),
        QStringLiteral("\u1EA8n \u0110\u1EB7ng"), QStringLiteral("\u0396\u03C9\u03AE"),
        QStringLiteral("\u0417\u043E\u044F"), QStringLiteral("\u9648\u6CE2"), QStringLiteral("\uAE40\uBBFC"),
        QStringLiteral("\u0E0B\u0E2D\u0E22"), QStringLiteral("\u05E0\u05D5\u05E2\u05D4"),
        QStringLiteral("\u0632\u0648\u064A") };
    for (const QString &name : names) {
        insights.receiptLines = { { QStringLiteral("Reply time, ") + name, QStringLiteral("4 min") } };
        model.setInsights(insights);
        QCoreApplication::processEvents();
        const QString line = QStringLiteral("REPLY TIME, ") + name.toUpper() + QStringLiteral(" 4 MIN");
        QString text = preview->text();
        text.remove(QChar(0x2068)).remove(QChar(0x2069));
        EXPECT_TRUE(text.endsWith(line)) << text.toStdString();

        // The time reads after the name, in whichever direction the name
        // is written; a Hebrew name used to take it in and show it first.
        QTextLayout laid(preview->text(), preview->font());
        laid.beginLayout();
        QTextLine only = laid.createLine();
        only.setLineWidth(4000);
        laid.endLayout();
        const int time = int(preview->text().lastIndexOf(QLatin1String("4 MIN")));
        const int named = int(preview->text().lastIndexOf(name.toUpper()));
        for (int i = named; i <= named + name.size(); ++i)
            EXPECT_LT(only.cursorToX(i), only.cursorToX(time)) << name.toStdString();
        // Every letter is drawn by a font that has it, not as an empty box.
        const QList<QGlyphRun> runs = laid.glyphRuns();
        for (const char32_t c : name.toUpper().toUcs4()) {
            if (!QChar::isLetter(c))
                continue;
            EXPECT_TRUE(std::any_of(runs.cbegin(), runs.cend(), [c](const QGlyphRun &run) {
                return run.rawFont().supportsCharacter(c);
            })) << name.toStdString();
        }

        // All the ink the line has, drawn with room to spare, is inside
        // the preview's own bounds.
        QImage spare(preview->width(), preview->height() + 20, QImage::Format_RGB32);
        spare.fill(Qt::white);
        QPainter painter(&spare);
        painter.setPen(Qt::black);
        ClampedText::paint(painter, QPointF(0, 10), preview->contentsRect().width(),
            { preview->text(), preview->font(), 2, {}, preview->alignment() });
        painter.end();
        EXPECT_EQ(inkOf(preview->grab().toImage()), inkOf(spare)) << name.toStdString();
    }
}
