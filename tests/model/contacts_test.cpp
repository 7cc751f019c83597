#include "model/contacts.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Contacts::Card;

TEST(ContactsTest, ReadsNamesNumbersAndAddressesOfVersion3Cards)
{
    const QByteArray vcf = "BEGIN:VCARD\r\n"
                           "VERSION:3.0\r\n"
                           "FN:Sam Rivera\r\n"
                           "N:Rivera;Sam;;;\r\n"
                           "item1.TEL;TYPE=\"CELL,VOICE\":+1 (555) 123-4567\r\n"
                           "TEL;VALUE=uri:tel:+1-555-000-1111\r\n"
                           "EMAIL;TYPE=INTERNET:Sam@Example.com\r\n"
                           "NOTE:ignored\r\n"
                           "END:VCARD\r\n"
                           // A folded name that escapes its separators.
                           "BEGIN:VCARD\n"
                           "N:O\\;Brien\\, Jr.;Al\n"
                           " ex;;;\n"
                           "END:VCARD\n";
    const QList<Card> cards = Contacts::parse(vcf);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[0].name(), "Sam Rivera");
    EXPECT_EQ(cards[0].phones, (QStringList { "+1 (555) 123-4567", "+1-555-000-1111" }));
    EXPECT_EQ(cards[0].emails, QStringList { "Sam@Example.com" });
    EXPECT_EQ(cards[1].family, "O;Brien, Jr.");
    EXPECT_EQ(cards[1].given, "Alex");
}

TEST(ContactsTest, DecodesQuotedPrintableVersion21Names)
{
    // "José" over a soft line break, as older phones export it.
    const QByteArray vcf = "BEGIN:VCARD\r\n"
                           "VERSION:2.1\r\n"
                           "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;Jos=\r\n"
                           "=C3=A9;;;\r\n"
                           "TEL;CELL:555 010 0199\r\n"
                           "END:VCARD\r\n";
    const QList<Card> cards = Contacts::parse(vcf);
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].name(), QStringLiteral("José"));
    EXPECT_EQ(cards[0].phones, QStringList { "555 010 0199" });
}

TEST(ContactsTest, NameLeavesOutAnEmptyPart)
{
    EXPECT_EQ((Card { QString(), QStringLiteral("Rivera"), {}, {}, {} }).name(), "Rivera");
    EXPECT_EQ((Card { QStringLiteral("Sam"), QString(), {}, {}, {} }).name(), "Sam");
    EXPECT_EQ(Card().name(), "");
}

TEST(ContactsTest, CardsWithOnlyAFormattedNameGoByIt)
{
    // Many address books export just FN; the structured name wins where
    // both are there.
    const QList<Card> cards = Contacts::parse("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Sam Rivera\r\n"
                                              "TEL:+1 555 123 4567\r\nEND:VCARD\r\n"
                                              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Dr. Jo\\, Lee\r\n"
                                              "N:Lee;Jo;;;\r\nEND:VCARD\r\n"
                                              "BEGIN:VCARD\r\nFN: \r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards[0].name(), "Sam Rivera");
    EXPECT_EQ(cards[1].name(), "Jo Lee");
    EXPECT_EQ(cards[2].name(), "");
}

TEST(ContactsTest, ReadsEveryVcfFileInNameOrder)
{
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("b.vcf"), "BEGIN:VCARD\nN:;Bea\nEND:VCARD\n");
    TestSupport::writeFile(dir.filePath("A.VCF"), "BEGIN:VCARD\nN:;Ann\nEND:VCARD\n");
    TestSupport::writeFile(dir.filePath("notes.txt"), "BEGIN:VCARD\nN:;Nobody\nEND:VCARD\n");
    const std::optional<QList<Card>> cards = Contacts::read(dir.path());
    ASSERT_TRUE(cards);
    ASSERT_EQ(cards->size(), 2);
    EXPECT_EQ(cards->at(0).given, "Ann");
    EXPECT_EQ(cards->at(1).given, "Bea");
}

TEST(ContactsTest, AMissingFolderIsNoAddressBook)
{
    QTemporaryDir dir;
    EXPECT_FALSE(Contacts::read(dir.filePath("contacts")));
    TestSupport::writeFile(dir.filePath("file"), "");
    EXPECT_FALSE(Contacts::read(dir.filePath("file")));
    // An empty folder is an empty address book.
    const std::optional<QList<Card>> empty = Contacts::read(dir.path());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}
