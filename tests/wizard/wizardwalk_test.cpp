// The whole wizard on real books, clicked through as a user would, against
// the stand-in service and the real typst: every choice ends in book.json,
// and the typeset PDF is set in the chosen face over the chosen days.
#include "insights/celebrations.h"
#include "service/standin.h"
#include "ui/card.h"
#include "ui/segmentedcontrol.h"
#include "ui/toggleswitch.h"
#include "wizard/daterangefields.h"
#include "wizard/timeline.h"
#include "wizardtest.h"

#include <QDateEdit>
#include <QLayout>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>

using namespace WizardTest;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A real project on the real clock, so typesetting runs typst when due.
class RealBook
{
public:
    explicit RealBook(const BookFile &book)
        : project(openExisting(book))
    { }

    BookFile saved() const
    {
        return BookFile::fromJson(TestSupport::readFile(project->folder() + QStringLiteral("/book.json")));
    }

    // Waits for a typeset PDF other than before: the one the last save
    // asked for.
    QString typesetAfter(const QString &before) const
    {
        EXPECT_TRUE(TestSupport::waitUntil(
            [&] {
                return project->pdf() != before && !project->pdf().isEmpty() && !project->isTypesetting();
            },
            120000));
        return project->pdf();
    }

    BooksFolder folder;
    std::shared_ptr<Project> project;
};

QPushButton *footer(WizardView &view, const QString &text)
{
    for (QPushButton *button : view.findChildren<QPushButton *>()) {
        if (button->text() == text && button->isVisibleTo(&view) && !view.stepView()->isAncestorOf(button))
            return button;
    }
    return nullptr;
}

Card *card(WizardView &view, const QString &text)
{
    QWidget *widget = TestSupport::findText(view.stepView(), text);
    while (widget && !qobject_cast<Card *>(widget))
        widget = widget->parentWidget();
    return qobject_cast<Card *>(widget);
}

void click(QWidget *widget)
{
    ASSERT_TRUE(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(widget->width() / 2, widget->height() / 2));
}

// Each day's first message carries a word of its own.
BookFile markedBook()
{
    BookFile book = spreadBook(QDate(2024, 3, 1), 31, 4, 10);
    for (BookFile::Message &message : book.messages) {
        if (message.id.endsWith(QLatin1String("-0")))
            message.text = QStringLiteral("Marker%1 of the day").arg(message.at.mid(8, 2));
    }
    return book;
}

} // namespace

TEST(WizardWalk, EveryChoiceEndsInTheBookAndItsPdf)
{
    StandIn service;
    service.pointClientHere();
    RealBook book(markedBook());
    WizardModel model(book.project, WizardModel::Resuming::No);
    WizardView view(&model, WizardView::CanCancel::No);
    view.resize(980, 780);
    view.show();
    QSignalSpy finished(&view, &WizardView::finished);

    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.isFoundReady() && model.pricing().has_value(); }));
    click(footer(view, QStringLiteral("Let Me Choose")));

    // What: own dates, March 10 to 25.
    click(card(view, QStringLiteral("Choose my own dates")));
    auto *fields = view.stepView()->findChild<DateRangeFields *>();
    ASSERT_TRUE(fields);
    fields->fromField()->setDate(QDate(2024, 3, 10));
    fields->toField()->setDate(QDate(2024, 3, 25));
    click(footer(view, QStringLiteral("Continue")));

    // Fit: it all fits.
    EXPECT_TRUE(TestSupport::findText(view.stepView(), QStringLiteral("It all fits in one book.")));
    click(footer(view, QStringLiteral("Continue")));

    click(card(view, QStringLiteral("Garamond")));
    click(footer(view, QStringLiteral("Continue")));

    click(card(view, QStringLiteral("A chapter for every year")));
    click(footer(view, QStringLiteral("Continue")));

    EXPECT_EQ(view.heading(), QStringLiteral("Title and cover"));
    click(footer(view, QStringLiteral("Continue")));

    auto *dedication = view.stepView()->findChild<QPlainTextEdit *>();
    ASSERT_TRUE(dedication);
    dedication->setFocus();
    QTest::keyClicks(dedication, QStringLiteral("For Sam"));
    click(view.stepView()->findChildren<ToggleSwitch *>().first());
    click(footer(view, QStringLiteral("Continue")));

    click(card(view, QStringLiteral("Hardcover")));
    click(footer(view, QStringLiteral("Continue")));

    QTest::mouseClick(view.stepView()->findChild<SegmentedControl *>(), Qt::LeftButton, {}, QPoint(225, 14));
    click(card(view, QStringLiteral("Express")));
    click(footer(view, QStringLiteral("Continue")));

    EXPECT_EQ(view.heading(), QStringLiteral("You & Sam"));
    EXPECT_EQ(view.subheading(), QStringLiteral("March 10, 2024 \u2013 March 25, 2024"));
    EXPECT_TRUE(TestSupport::findText(view.stepView(), QStringLiteral("$84")));
    // The book's first typesetting, from when it opened, is out of the way.
    const QString before = book.typesetAfter(QString());
    click(footer(view, QStringLiteral("Make My Book")));
    EXPECT_EQ(finished.count(), 1);

    const BookFile saved = book.saved();
    ASSERT_TRUE(saved.design);
    EXPECT_EQ(saved.design->font, QStringLiteral("garamond"));
    EXPECT_EQ(saved.design->chapters, QStringLiteral("year"));
    EXPECT_FALSE(saved.design->receipt);
    ASSERT_TRUE(saved.order);
    EXPECT_EQ(saved.order->binding, QStringLiteral("hardcover"));
    EXPECT_EQ(saved.order->shipping, QStringLiteral("express"));
    EXPECT_EQ(saved.order->recipient, QStringLiteral("someone"));
    EXPECT_EQ(saved.front.dedication, QStringList { QStringLiteral("For Sam") });
    ASSERT_TRUE(saved.edits.range);
    EXPECT_EQ(saved.edits.range->from, QStringLiteral("2024-03-10"));
    EXPECT_EQ(saved.edits.range->to, QStringLiteral("2024-03-25"));

    const QString pdf = book.typesetAfter(before);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_TRUE(run(QStringLiteral("pdffonts"), { pdf }).contains(QLatin1String("EBGaramond")));
    const QString text = run(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    EXPECT_TRUE(text.contains(QLatin1String("Marker12")));
    EXPECT_TRUE(text.contains(QLatin1String("Marker25")));
    EXPECT_FALSE(text.contains(QLatin1String("Marker09")));
    EXPECT_FALSE(text.contains(QLatin1String("Marker26")));
}

TEST(WizardWalk, MakeItForMeGivesACompleteBookWithTheDefaultOrder)
{
    StandIn service;
    service.pointClientHere();
    const BookFile sample = BookFile::fromJson(
        TestSupport::readFile(TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json")));
    RealBook book(sample);
    WizardModel model(book.project, WizardModel::Resuming::No);
    WizardView view(&model, WizardView::CanCancel::No);
    view.resize(980, 780);
    view.show();
    QSignalSpy finished(&view, &WizardView::finished);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.isFoundReady() && model.pricing().has_value(); }));

    // The timeline shows the special days the finder sees in the book.
    const QList<Celebration> found = Celebrations::find(sample.messages, QStringLiteral("Maya"));
    ASSERT_FALSE(found.isEmpty());
    auto *timeline = view.stepView()->findChild<Timeline *>();
    ASSERT_TRUE(timeline);
    QStringList chips;
    for (QAbstractButton *chip : timeline->findChildren<QAbstractButton *>())
        chips.append(chip->text());
    QStringList titles;
    for (const Celebration &c : found)
        titles.append(c.title);
    EXPECT_EQ(chips, titles);

    // A day marked for an add-on on the timeline, then Make It for Me.
    model.setOrder(Timeline::toggled(model.order(), QStringLiteral("moments"), found.first()));
    // The book's first typesetting, from when it opened, is out of the way.
    const QString before = book.typesetAfter(QString());
    click(footer(view, QStringLiteral("Make It for Me")));
    EXPECT_EQ(finished.count(), 1);

    const BookFile saved = book.saved();
    ASSERT_TRUE(saved.design);
    EXPECT_EQ(saved.design->font, QStringLiteral("pagella"));
    EXPECT_EQ(saved.design->chapters, QStringLiteral("month"));
    // The order is the default one, whatever was marked before.
    ASSERT_TRUE(saved.order);
    EXPECT_EQ(*saved.order, Order());
    EXPECT_EQ(saved.front.title, QStringLiteral("You & Maya"));
    EXPECT_FALSE(saved.edits.range);

    const QString pdf = book.typesetAfter(before);
    EXPECT_TRUE(run(QStringLiteral("pdffonts"), { pdf }).contains(QLatin1String("Pagella")));
    EXPECT_GT(book.project->layout().pageCount, 40);
}
