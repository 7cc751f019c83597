#pragma once

// What the Wrapped screen's tests share: a real book opened as a project
// (typst held off: the screen never reads the pages), its Wrapped counted
// by the real message tool, the stand-in service the client is pointed at,
// and ways to find and press what the screen shows.
#include "project/projecttest.h"
#include "service/standin.h"
#include "ui/style.h"
#include "uitestsupport.h"
#include "wrapped/wrappedview.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// Pat and Sam Lee over fourteen months from December 2022: a few messages
// every day, some after midnight, a first "I love you", a long run of days
// and a silence.
inline BookFile twoYearsOfUs()
{
    BookFile book;
    book.format = 1;
    book.style = u"novel"_s;
    book.front.title = u"You & Sam"_s;
    book.people = { { u"me"_s, u"Pat"_s, true }, { u"them"_s, u"Sam Lee"_s, false } };
    const QStringList lines { u"Are you coming over tonight?"_s, u"The train is late again"_s,
        u"Pasta or tacos for dinner"_s, u"Did you see the river this morning"_s };
    int n = 0;
    for (QDate day(2022, 12, 1); day <= QDate(2024, 1, 31); day = day.addDays(1)) {
        // Ten quiet days in the summer.
        if (day >= QDate(2023, 7, 10) && day < QDate(2023, 7, 20))
            continue;
        const int count = 2 + day.day() % 3;
        for (int i = 0; i < count; ++i) {
            BookFile::Message message;
            message.id = u"m"_s + QString::number(n);
            const int hour = (day.day() % 9 == 0 && i == 0) ? 1 : 9 + 3 * i;
            message.at
                = day.toString(Qt::ISODate) + QStringLiteral("T%1:15:00").arg(hour, 2, 10, QLatin1Char('0'));
            message.from = n % 2 ? u"me"_s : u"them"_s;
            message.text = day == QDate(2023, 2, 14) && i == 0 ? u"I love you"_s : lines[n % lines.size()];
            book.messages.append(message);
            ++n;
        }
    }
    return book;
}

class WrappedViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        service.pointClientHere();
        TestSupport::desktop().reset();
        // A conversation of its own per test: the look is kept per conversation.
        project = openBook(twoYearsOfUs(),
            QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        wrapped = TestSupport::await(Wrapped::make(project->book()));
    }

    void TearDown() override { delete view; }

    // A project whose typesetting is a fake: the Wrapped never shows pages.
    std::shared_ptr<Project> openBook(const BookFile &book, const QString &key)
    {
        std::shared_ptr<Project> opened = openExisting(book, key);
        opened->setTypesetter(typst.typesetter());
        return opened;
    }

    // The screen as the detail pane shows it, at the pane's size in the
    // window's first size.
    WrappedView *show(std::optional<QString> focus = std::nullopt)
    {
        delete view;
        view = new WrappedView(project, wrapped, std::move(focus));
        view->resize(1000, 760);
        view->show();
        return view;
    }

    QStringList cardIds() const
    {
        QStringList ids;
        for (const Wrapped::Card &card : wrapped.cards)
            ids.append(card.id);
        return ids;
    }

    QPushButton *button(const QString &text) const
    {
        return qobject_cast<QPushButton *>(TestSupport::findText(view, text));
    }

    bool shows(const QString &text) const { return TestSupport::findText(view, text) != nullptr; }

    // Presses segment index of a segmented choice ("Shape", "Names").
    void chooseSegment(const QString &name, int index, int of)
    {
        QWidget *segments = view->findChild<QWidget *>(name);
        ASSERT_TRUE(segments);
        QTest::mouseClick(segments, Qt::LeftButton, {},
            QPoint(segments->width() * (2 * index + 1) / (2 * of), segments->height() / 2));
    }

    // Waits for the stand-in to have been asked for a usage event.
    bool sentEvent(const QString &step)
    {
        return TestSupport::waitUntil([&] {
            for (const QJsonObject &request : service.requests(u"/api/events$"_s)) {
                if (StandIn::body(request).contains(step.toUtf8()))
                    return true;
            }
            return false;
        });
    }

    int eventsSent(const QString &step)
    {
        int count = 0;
        for (const QJsonObject &request : service.requests(u"/api/events$"_s))
            count += StandIn::body(request).contains(step.toUtf8()) ? 1 : 0;
        return count;
    }

    StandIn service;
    BooksFolder books;
    FakeTypst typst;
    std::shared_ptr<Project> project;
    Wrapped wrapped;
    WrappedView *view = nullptr;
};

// Pressed twice 1.5 s apart, a copy button reads "Copied" until two
// seconds after the first press, then its own words again.
inline void expectCopiedForTwoSecondsEach(QPushButton *button, ManualClock &clock, const QString &idle)
{
    button->click();
    EXPECT_EQ(button->text(), u"Copied"_s);
    clock.advance(std::chrono::milliseconds(1500));
    button->click();
    clock.advance(std::chrono::milliseconds(499));
    EXPECT_EQ(button->text(), u"Copied"_s);
    clock.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(button->text(), idle);
}
