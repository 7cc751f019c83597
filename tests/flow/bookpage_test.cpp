// What the book's page says about a book, apart from the widgets.
#include "flow/bookpage.h"
#include "project/projecttest.h"

#include <gtest/gtest.h>

namespace {

Pricing priceList(int pagesPerVolume = 500)
{
    Pricing pricing;
    pricing.pagesPerVolume = pagesPerVolume;
    pricing.bindings = { { "paperback", "Soft cover", "", 39, 29, std::nullopt },
        { "hardcover", "Cloth boards", "", 59, 64, std::nullopt } };
    pricing.shipping = { { "economy", "Slow boat", 8, { 7, 12 } }, { "express", "Courier", 25, { 2, 3 } } };
    return pricing;
}

Rewards::Status status(const QString &rewards)
{
    Rewards::Status status;
    status.rewards = rewards;
    status.code = QStringLiteral("SAM-42");
    status.referral.percent = 15;
    status.share.percent = 10;
    return status;
}

} // namespace

TEST(BookPage, VolumesFollowThePageLimitOrSevenHundredEighty)
{
    EXPECT_EQ(BookPage::volumes(std::nullopt, 0), 1);
    EXPECT_EQ(BookPage::volumes(std::nullopt, 780), 1);
    EXPECT_EQ(BookPage::volumes(std::nullopt, 781), 2);
    EXPECT_EQ(BookPage::volumes(priceList(500), 1001), 3);
    EXPECT_EQ(BookPage::volumes(priceList(500), 500), 1);
    EXPECT_EQ(BookPage::coverPages(12), 40);
    EXPECT_EQ(BookPage::coverPages(41), 41);
}

TEST(BookPage, TheVolumeNoteNeedsPricesSeveralVolumesAndTheChosenBinding)
{
    BookFile book = bookOf({ "hi" });
    EXPECT_FALSE(BookPage::volumeNote(std::nullopt, book, 2000));
    EXPECT_FALSE(BookPage::volumeNote(priceList(), book, 500));
    // No order: the paperback.
    EXPECT_EQ(BookPage::volumeNote(priceList(), book, 1001),
        QStringLiteral("Your story runs to 3 books. Each book after the first is $10 off."));
    book.order = Order();
    book.order->binding = QStringLiteral("hardcover");
    EXPECT_EQ(BookPage::volumeNote(priceList(), book, 501),
        QStringLiteral("Your story runs to 2 books. Each book after the first is $-5 off."));
    book.order->binding = QStringLiteral("layflat");
    EXPECT_FALSE(BookPage::volumeNote(priceList(), book, 1001));
}

TEST(BookPage, TheRewardsLineAddsPerksOnlyWhileRewardsAreOn)
{
    EXPECT_FALSE(BookPage::rewardsLine(std::nullopt));
    const QString referral
        = QStringLiteral("Friends of Friends: code SAM-42 is 15% off for you and anyone you give it to.");

    Rewards::Status off = status(QStringLiteral("off"));
    off.share.discountCode = QStringLiteral("SHARE-1");
    off.viral.giftCode = QStringLiteral("GIFT-1");
    EXPECT_EQ(BookPage::rewardsLine(off)->text, referral);
    EXPECT_EQ(BookPage::rewardsLine(off)->symbol, "square.stack");

    Rewards::Status on = off;
    on.rewards = QStringLiteral("on");
    EXPECT_EQ(BookPage::rewardsLine(on)->text,
        referral + QStringLiteral(" · 10% off from sharing your Wrapped · A free book: gift card GIFT-1"));
    EXPECT_EQ(BookPage::rewardsLine(on)->symbol, "checkmark.circle.fill");

    on.share.discountUsed = true;
    on.viral.giftCode.reset();
    EXPECT_EQ(BookPage::rewardsLine(on)->text, referral);
    EXPECT_EQ(BookPage::rewardsLine(on)->symbol, "square.stack");
}

TEST(BookPage, TheRewardsLinePrintsTheServicesCodeAsItIs)
{
    Rewards::Status odd = status(QStringLiteral("off"));
    odd.code = QStringLiteral("%1%2-X");
    EXPECT_EQ(BookPage::rewardsLine(odd)->text,
        QStringLiteral("Friends of Friends: code %1%2-X is 15% off for you and anyone you give it to."));
}

TEST(BookPage, FactsNameTheChoicesFromThePriceListOrTheDefaults)
{
    BookFile book = bookOf({ "hi" });
    using Facts = QList<BookPage::Fact>;
    EXPECT_EQ(BookPage::facts(std::nullopt, book, 1234, 0),
        (Facts { { "Messages", "1,234" }, { "Pages", "setting…" }, { "Binding", "Paperback" },
            { "Shipping", "Economy" } }));
    // Without an order the defaults stand, whatever the list calls them.
    EXPECT_EQ(BookPage::facts(priceList(), book, 3, 1200).at(3), (BookPage::Fact { "Binding", "Paperback" }));
    book.order = Order();
    book.order->shipping = QStringLiteral("express");
    EXPECT_EQ(BookPage::facts(priceList(), book, 3, 1200),
        (Facts { { "Messages", "3" }, { "Pages", "1,200" }, { "Books", "3" }, { "Binding", "Soft cover" },
            { "Shipping", "Courier" } }));
    book.order->shipping = QStringLiteral("by-pigeon");
    EXPECT_EQ(BookPage::facts(priceList(), book, 3, 12).at(3), (BookPage::Fact { "Shipping", "Economy" }));
}

TEST(BookPage, AddonsAreListedByTheirThreeGroupsAndPricedForThePages)
{
    Pricing pricing = priceList(500);
    const auto addon = [](QString id, QString group, QString status) {
        Pricing::Addon a;
        a.id = id;
        a.group = group;
        a.name = id;
        a.price = 12;
        a.status = status;
        return a;
    };
    pricing.addons = { addon("poster", "made", "available"), addon("box", "extras", "available"),
        addon("colour", "print", "available"), addon("audio", "digital", "soon"),
        addon("index", "print", "available") };
    const QList<BookPage::AddonGroup> groups = BookPage::addonGroups(pricing);
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0].title, "In the book");
    EXPECT_EQ(groups[0].addons.size(), 2);
    EXPECT_EQ(groups[0].addons[1].id, "index");
    EXPECT_EQ(groups[1].title, "Alongside it");
    EXPECT_EQ(groups[2].title, "Made from a moment");

    Pricing::Addon banded = pricing.addons[2];
    banded.priceBands = QList<QList<int>> { { 300, 10 }, { 600, 15 } };
    EXPECT_EQ(BookPage::addonPrice(banded, pricing, 1200), "+$45");
    EXPECT_EQ(BookPage::addonPrice(banded, pricing, 0), "+$10");
    EXPECT_EQ(BookPage::addonPrice(banded, std::nullopt, 1200), "+$12");
    EXPECT_EQ(BookPage::addonPrice(pricing.addons[0], pricing, 1200), "+$12");
    EXPECT_EQ(BookPage::addonPrice(pricing.addons[3], pricing, 1200), "Soon");
}

TEST(BookPage, TheCoverKeyChangesWithWhatTheCoverShowsOnly)
{
    BookFile book = bookOf({ "hi" });
    EXPECT_EQ(BookPage::coverKey(book, 12), "You & Sam||||12");
    book.design = Design();
    const QString key = BookPage::coverKey(book, 12);
    EXPECT_EQ(key, "You & Sam||cloth|oxblood|12");
    book.design->cover.custom = Design::Cover::Custom();
    book.design->cover.custom->background = QStringLiteral("#000000");
    EXPECT_EQ(BookPage::coverKey(book, 12), key);
    book.front.colophon = QStringLiteral("2024");
    EXPECT_NE(BookPage::coverKey(book, 12), key);
}

TEST(BookPage, NamesAndFaces)
{
    BookFile book = bookOf({ "hi" });
    EXPECT_EQ(BookPage::names(book), "Pat & Sam");
    EXPECT_EQ(BookPage::otherName(book), "Sam");
    book.people[1].me = true;
    EXPECT_EQ(BookPage::otherName(book), "them");
    book.people.clear();
    EXPECT_EQ(BookPage::otherName(book), "them");
    EXPECT_EQ(BookPage::names(book), "");

    EXPECT_EQ(BookPage::face(book), "Palatino");
    book.design = Design();
    EXPECT_EQ(BookPage::face(book), "Palatino");
    book.design->font = QStringLiteral("garamond");
    EXPECT_EQ(BookPage::face(book), "Garamond");
    book.design->font = QStringLiteral("libertinus");
    EXPECT_EQ(BookPage::face(book), "Libertinus");
}
