#include "model/defaults.h"
#include "model/json.h"
#include "uitestsupport.h"
#include "wrapped/wrappedsettings.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

Wrapped::Person person(const QString &id, const QString &name)
{
    return { id, name, 1 };
}

} // namespace

TEST(WrappedSettings, InitialsStayDistinctAmongTheOthers)
{
    struct Case
    {
        QString name;
        QStringList names;
        QString initials;
    };
    const QList<Case> cases {
        { u"Jane Doe"_s, {}, u"J.D."_s },
        { u"Jane Doe"_s, { u"Jane Doe"_s, u"Sam Lee"_s }, u"J.D."_s },
        { u"Jane Doe"_s, { u"Jane Doe"_s, u"John Dale"_s }, u"Ja."_s },
        { u"John Dale"_s, { u"Jane Doe"_s, u"John Dale"_s }, u"Jo."_s },
        { u"ANNA"_s, { u"ANNA"_s, u"Amy"_s }, u"An."_s },
        { u"anna maria luisa"_s, {}, u"A.M."_s },
        { u"Jane"_s, { u"Jane"_s, u"Jane"_s }, u"J."_s },
        // Tabs don't split words; full upper case turns one letter into two.
        { u"jo\tanne"_s, {}, u"J."_s },
        { u"\u00DFmith jones"_s, {}, u"SS.J."_s },
        { u"\u00C9mile \u00C9tienne"_s, { u"\u00C9mile \u00C9tienne"_s, u"\u00C9va \u00C9lise"_s },
            u"\u00C9m."_s },
        { u"(none)"_s, {}, u""_s },
    };
    for (const Case &c : cases)
        EXPECT_EQ(WrappedSettings::initials(c.name, c.names), c.initials) << c.name.toStdString();
}

// A card is made to be posted: a name without letters keeps the last four
// digits of its number, never the whole of a stranger's number.
TEST(WrappedSettings, ANameWithoutLettersKeepsTheLastFourDigitsOfItsNumber)
{
    const QList<std::pair<QString, QString>> cases { { u"+1 (555) 010-9999"_s, u"9999"_s },
        { u"555 12"_s, u"5512"_s }, { u"+44 7700 900123"_s, u"0123"_s }, { u"+49 1512 3456789"_s, u"6789"_s },
        { u"12"_s, u"12"_s }, { u"٥٥٥١٢"_s, u"٥٥١٢"_s }, { u"(none)"_s, u""_s } };
    for (const auto &[name, initials] : cases) {
        EXPECT_EQ(WrappedSettings::initials(name, {}), initials) << name.toStdString();
        // No collision test: two numbers may end alike.
        EXPECT_EQ(WrappedSettings::initials(name, { name, u"+44 7800 900123"_s, u"٥١٢"_s }), initials)
            << name.toStdString();
    }
}

TEST(WrappedSettings, NamesFollowTheChosenRule)
{
    const QList<Wrapped::Person> people { person(u"me"_s, u"Jane Doe"_s), person(u"them"_s, u"John Dale"_s) };
    WrappedSettings settings;
    EXPECT_EQ(settings.display(people[0], people), u"Ja."_s);
    settings.names = WrappedSettings::Names::Full;
    EXPECT_EQ(settings.display(people[0], people), u"Jane Doe"_s);
    settings.names = WrappedSettings::Names::Custom;
    settings.custom = { { u"me"_s, u"  Ann  "_s }, { u"them"_s, u"   "_s } };
    EXPECT_EQ(settings.display(people[0], people), u"Ann"_s);
    EXPECT_EQ(settings.display(people[1], people), u"Jo."_s);
    // Spaces of any width and tabs go; line breaks stay.
    settings.custom[u"me"_s] = u"\u2003\tAnn\u00A0"_s;
    EXPECT_EQ(settings.display(people[0], people), u"Ann"_s);
    settings.custom[u"me"_s] = u"Ann\n"_s;
    EXPECT_EQ(settings.display(people[0], people), u"Ann\n"_s);

    EXPECT_EQ(settings.named(u"{me} & {them}, not {Me} or {nobody}"_s, people),
        u"Ann\n & Jo., not {Me} or {nobody}"_s);
    EXPECT_EQ(settings.named(u"no names"_s, people), u"no names"_s);
}

TEST(WrappedSettings, ThemesGiveTheirColours)
{
    WrappedSettings settings;
    const WrappedSettings::Palette oxblood = settings.palette();
    EXPECT_EQ(oxblood.background, QColor(u"#6B1F24"_s));
    EXPECT_EQ(oxblood.ink, QColor(u"#F6EFE6"_s));
    EXPECT_EQ(oxblood.accent, QColor(u"#E6B3AD"_s));
    EXPECT_EQ(oxblood.faint.rgb(), oxblood.ink.rgb());
    EXPECT_NEAR(oxblood.faint.alphaF(), 0.16, 0.005);
    // A fresh value switched to custom looks the same.
    settings.theme = WrappedSettings::Theme::Custom;
    EXPECT_EQ(settings.palette().background, oxblood.background);
    EXPECT_EQ(settings.palette().accent, oxblood.accent);
    settings.background = u"#12345"_s;
    settings.ink = u"ink"_s;
    settings.accent = u""_s;
    EXPECT_EQ(settings.palette().background, QColor(Qt::white));
    EXPECT_EQ(settings.palette().ink, QColor(Qt::black));
    EXPECT_EQ(settings.palette().accent, QColor(Qt::red));
    settings.theme = WrappedSettings::Theme::Paper;
    EXPECT_EQ(settings.palette().background, QColor(u"#FBF7F0"_s));
    EXPECT_EQ(WrappedSettings::family(WrappedSettings::Typeface::Pagella), u"TeX Gyre Pagella"_s);
    EXPECT_EQ(WrappedSettings::label(WrappedSettings::Typeface::Pagella), u"Pagella"_s);
}

TEST(WrappedSettings, AreKeptPerConversationAndReadStrictly)
{
    EXPECT_FALSE(WrappedSettings::load(u"b1:x"_s));
    WrappedSettings settings;
    settings.format = WrappedSettings::Format::Post;
    settings.names = WrappedSettings::Names::Custom;
    settings.custom = { { u"them"_s, u""_s } };
    settings.theme = WrappedSettings::Theme::Blush;
    settings.typeface = WrappedSettings::Typeface::Garamond;
    settings.disclose = true;
    settings.selection = { u"words"_s, u"cover"_s, u"words"_s };
    settings.save(u"b1:x"_s);
    EXPECT_EQ(WrappedSettings::load(u"b1:x"_s), settings);
    EXPECT_FALSE(WrappedSettings::load(u"b1:y"_s));
    const QJsonObject stored
        = QJsonDocument::fromJson(Defaults::standard().data(u"wrapped:b1:x"_s).value_or(QByteArray()))
              .object();
    EXPECT_EQ(stored.value(u"theme"_s).toString(), u"blush"_s);
    EXPECT_EQ(stored.size(), 10);

    for (const auto &[key, value] : { std::pair { u"theme"_s, QJsonValue(u"sepia"_s) },
             { u"disclose"_s, QJsonValue(QJsonValue::Undefined) },
             { u"custom"_s, QJsonObject { { u"me"_s, 3 } } } }) {
        QJsonObject broken = settings.toJson();
        if (value.isUndefined())
            broken.remove(key);
        else
            broken.insert(key, value);
        Defaults::standard().setData(u"wrapped:b1:z"_s, QJsonDocument(broken).toJson());
        EXPECT_FALSE(WrappedSettings::load(u"b1:z"_s)) << key.toStdString();
    }
}
