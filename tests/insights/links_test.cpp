#include "insights/links.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Tokens as people write them in chats: addresses pasted, typed bare or
// wrapped in punctuation, and the ordinary words with dots that must stay
// words.
TEST(Links, TellsAddressesFromWordsWithDots)
{
    const QStringList links { u"https://google.com"_s, u"http://example.org/a?b=c#d"_s,
        u"HTTPS://WWW.GOOGLE.COM/MAPS"_s, u"ftp://files.example.net"_s, u"see:https://x.io"_s,
        u"www.booking.com"_s, u"www.kicker.de"_s, u"google.com"_s, u"Amazon.co.uk"_s, u"bit.ly/3xYz"_s,
        u"youtu.be/dQw4w9WgXcQ"_s, u"wa.me/4915112345678"_s, u"maps.app.goo.gl/abc"_s, u"t.co/xyz"_s,
        u"münchen.de/rathaus"_s, u"(https://example.com/a_(b))"_s, u"<www.x.org>,"_s,
        u"\u201Cgoogle.com\u201D"_s, u"google.com."_s, u"google.com!!"_s, u"sam.lee@gmail.com"_s,
        u"max+news@example.co.uk;"_s, u"mailto:jo@web.de"_s, u"localhost.dev:8080/admin"_s };
    for (const QString &token : links)
        EXPECT_TRUE(Links::isLink(token)) << token.toStdString();

    const QStringList words { u"ok."_s, u"ok.so"_s, u"home.now"_s, u"gracias.de"_s, u"e.g."_s, u"i.e."_s,
        u"a.m."_s, u"U.S.A."_s, u"Ph.D."_s, u"etc."_s, u"3.14"_s, u"3.30pm"_s, u"node.js"_s, u"fine.thanks"_s,
        u"st.louis"_s, u"wait...what"_s, u"@sam"_s, u"me@home"_s, u"and/or"_s, u"1.5/10"_s, u"http:"_s,
        u"://"_s, u"www."_s, u"-bad-.com"_s, u"x@.com"_s };
    for (const QString &token : words)
        EXPECT_FALSE(Links::isLink(token)) << token.toStdString();
}

TEST(Links, BlanksOnlyTheAddressesOfAText)
{
    const QString text = u"look https://google.com/maps?q=pizza, or mail sam@x.com. ok.so bye."_s;
    const QString blanked = Links::withoutLinks(text);
    EXPECT_EQ(blanked.size(), text.size());
    EXPECT_EQ(blanked.simplified(), u"look or mail ok.so bye."_s);
    EXPECT_EQ(Links::withoutLinks(u"see you at 8:30. ok"_s), u"see you at 8:30. ok"_s);
}
