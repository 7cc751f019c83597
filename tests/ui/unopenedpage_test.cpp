// What a screen shows for a page the desktop didn't open: the sentence, the
// whole address to copy, and another try.
#include "project/projecttest.h"
#include "ui/unopenedpage.h"
#include "uitestsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(UnopenedPage, OffersTheWholeAddressToCopyAndAnotherTry)
{
    ManualClock clock;
    TestSupport::desktop().reset();
    UnopenedPage page;
    EXPECT_FALSE(page.isVisibleTo(nullptr));
    // A long address with its fragment, as the website's make page has.
    const QUrl address(
        QStringLiteral("https://site.example.org/make/#inbox=abc123.") + QString(200, QLatin1Char('t')));
    page.setPage(QStringLiteral("The website didn't open in your browser."), address);
    page.resize(360, 200);
    page.show();
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(page.sentence(), QStringLiteral("The website didn't open in your browser."));
    auto *field = page.findChild<QLineEdit *>();
    EXPECT_EQ(field->text(), address.toString(QUrl::FullyEncoded));
    EXPECT_TRUE(field->isReadOnly());
    // However long the address, it doesn't widen what holds it.
    EXPECT_LT(page.minimumSizeHint().width(), 360);

    page.copyButton()->click();
    EXPECT_EQ(TestSupport::desktop().of(QStringLiteral("copyText")),
        QList<QStringList>({ { address.toString(QUrl::FullyEncoded) } }));
    EXPECT_EQ(page.copyButton()->text(), QStringLiteral("Copied"));
    clock.advance(2s);
    EXPECT_EQ(page.copyButton()->text(), QStringLiteral("Copy Link"));

    QSignalSpy retried(&page, &UnopenedPage::retryRequested);
    page.retryButton()->click();
    EXPECT_EQ(retried.size(), 1);

    // Opened after all: nothing to offer.
    page.setPage(QString(), QUrl());
    EXPECT_FALSE(page.isVisible());
}
