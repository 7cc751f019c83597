#include "wrappedsettings.h"

#include "insights/characters.h"
#include "model/color.h"
#include "model/defaults.h"
#include "model/json.h"
#include "model/phonenumbers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <array>

using namespace Json;

namespace {

const QString storageKey = QStringLiteral("wrapped:");

template<typename Enum, size_t N>
Enum enumNamed(const std::array<const char *, N> &names, const QJsonObject &object, const char *key)
{
    const QString text = requiredString(object, key);
    for (size_t i = 0; i < N; ++i) {
        if (text == QLatin1StringView(names[i]))
            return Enum(i);
    }
    throw JsonError(QStringLiteral("unknown value \u201C%1\u201D").arg(text), QString::fromLatin1(key));
}

constexpr std::array formatNames { "story", "post" };
constexpr std::array namesNames { "initials", "full", "custom" };
constexpr std::array themeNames { "oxblood", "paper", "ink", "blush", "custom" };
constexpr std::array typefaceNames { "instrument", "garamond", "pagella" };

// Space characters of any width and tabs; line breaks stay.
QString trimmedSpaces(const QString &text)
{
    const auto isSpace = [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isSpace(text[start]))
        ++start;
    while (end > start && isSpace(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

// The user-perceived characters of a text.
QStringList characters(QStringView text)
{
    QStringList made;
    qsizetype start = 0;
    for (const qsizetype end : Characters::ends(text)) {
        made.append(text.mid(start, end - start).toString());
        start = end;
    }
    return made;
}

// The words of a name that begin with a letter, split at plain spaces only.
QStringList letterWords(const QString &name)
{
    QStringList kept;
    for (const QString &word : name.split(u' ', Qt::SkipEmptyParts)) {
        if (Characters::isLetter(word))
            kept.append(word);
    }
    return kept;
}

QString mark(const QStringList &words)
{
    QString made = characters(words.first()).value(0).toUpper() + u'.';
    if (words.size() > 1)
        made += characters(words.at(1)).value(0).toUpper() + u'.';
    return made;
}

} // namespace

QString WrappedSettings::formatName(Format format)
{
    return QString::fromLatin1(formatNames[size_t(format)]);
}

QString WrappedSettings::namesName(Names names)
{
    return QString::fromLatin1(namesNames[size_t(names)]);
}

QString WrappedSettings::themeName(Theme theme)
{
    return QString::fromLatin1(themeNames[size_t(theme)]);
}

QString WrappedSettings::typefaceName(Typeface typeface)
{
    return QString::fromLatin1(typefaceNames[size_t(typeface)]);
}

QList<WrappedSettings::Theme> WrappedSettings::themes()
{
    return { Theme::Oxblood, Theme::Paper, Theme::Ink, Theme::Blush, Theme::Custom };
}

QList<WrappedSettings::Typeface> WrappedSettings::typefaces()
{
    return { Typeface::Instrument, Typeface::Garamond, Typeface::Pagella };
}

QString WrappedSettings::label(Typeface typeface)
{
    switch (typeface) {
    case Typeface::Instrument:
        return QStringLiteral("Instrument Serif");
    case Typeface::Garamond:
        return QStringLiteral("EB Garamond");
    case Typeface::Pagella:
        return QStringLiteral("Pagella");
    }
    return {};
}

QString WrappedSettings::family(Typeface typeface)
{
    return typeface == Typeface::Pagella ? QStringLiteral("TeX Gyre Pagella") : label(typeface);
}

QString WrappedSettings::sansFamily()
{
    return QStringLiteral("Instrument Sans");
}

WrappedSettings WrappedSettings::fromJson(const QJsonObject &object)
{
    WrappedSettings settings;
    settings.format = enumNamed<Format>(formatNames, object, "format");
    settings.names = enumNamed<Names>(namesNames, object, "names");
    const QJsonObject custom = requiredObject(object, "custom");
    for (auto it = custom.begin(); it != custom.end(); ++it)
        settings.custom.insert(it.key(), within(u"custom", [&] { return requiredString(custom, it.key()); }));
    settings.theme = enumNamed<Theme>(themeNames, object, "theme");
    settings.typeface = enumNamed<Typeface>(typefaceNames, object, "typeface");
    settings.background = requiredString(object, "background");
    settings.ink = requiredString(object, "ink");
    settings.accent = requiredString(object, "accent");
    settings.disclose = requiredBool(object, "disclose");
    settings.selection = requiredStringList(object, "selection");
    return settings;
}

QJsonObject WrappedSettings::toJson() const
{
    QJsonObject names;
    for (auto it = custom.cbegin(); it != custom.cend(); ++it)
        names.insert(it.key(), it.value());
    return { { QStringLiteral("format"), formatName(format) },
        { QStringLiteral("names"), namesName(this->names) }, { QStringLiteral("custom"), names },
        { QStringLiteral("theme"), themeName(theme) }, { QStringLiteral("typeface"), typefaceName(typeface) },
        { QStringLiteral("background"), background }, { QStringLiteral("ink"), ink },
        { QStringLiteral("accent"), accent }, { QStringLiteral("disclose"), disclose },
        { QStringLiteral("selection"), QJsonArray::fromStringList(selection) } };
}

std::optional<WrappedSettings> WrappedSettings::load(const QString &conversation)
{
    const std::optional<QByteArray> stored = Defaults::standard().data(storageKey + conversation);
    if (!stored)
        return std::nullopt;
    try {
        return fromJson(parseObject(*stored));
    } catch (const JsonError &) {
        return std::nullopt;
    }
}

void WrappedSettings::save(const QString &conversation) const
{
    Defaults::standard().setData(
        storageKey + conversation, QJsonDocument(toJson()).toJson(QJsonDocument::Compact));
}

WrappedSettings::Palette WrappedSettings::palette() const
{
    // Background, ink and accent of each theme but the custom one.
    static const std::array<std::array<const char *, 3>, 4> themes { {
        { "#6B1F24", "#F6EFE6", "#E6B3AD" },
        { "#FBF7F0", "#1C1A17", "#6B1F24" },
        { "#141418", "#F3EFE6", "#E6B3AD" },
        { "#F3DCD8", "#3A0F13", "#6B1F24" },
    } };
    const QStringList texts = theme == Theme::Custom
        ? QStringList { background, ink, accent }
        : QStringList { QString::fromLatin1(themes[size_t(theme)][0]),
              QString::fromLatin1(themes[size_t(theme)][1]), QString::fromLatin1(themes[size_t(theme)][2]) };
    // Only a custom colour can fail to read.
    Palette palette { Color::fromHex(texts[0]).value_or(QColor(Qt::white)),
        Color::fromHex(texts[1]).value_or(QColor(Qt::black)),
        Color::fromHex(texts[2]).value_or(QColor(Qt::red)), {} };
    palette.faint = palette.ink;
    palette.faint.setAlphaF(0.16f);
    return palette;
}

QString WrappedSettings::display(const Wrapped::Person &person, const QList<Wrapped::Person> &people) const
{
    if (names == Names::Full)
        return person.name;
    if (names == Names::Custom) {
        const QString typed = trimmedSpaces(custom.value(person.id));
        if (!typed.isEmpty())
            return typed;
    }
    QStringList all;
    for (const Wrapped::Person &other : people)
        all.append(other.name);
    return initials(person.name, all);
}

QString WrappedSettings::initials(const QString &name, const QStringList &names)
{
    const QStringList words = letterWords(name);
    if (words.isEmpty()) {
        // A number: its last four digits, as a card that may be posted
        // names a stranger. Two numbers may end alike; nothing tells them
        // apart here.
        const QStringList digits = PhoneNumbers::numerics(name);
        return digits.mid(std::max<qsizetype>(0, digits.size() - 4)).join(QString());
    }
    const QString own = mark(words);
    for (const QString &other : names) {
        if (other == name)
            continue;
        if (initials(other, {}) != own)
            continue;
        // Two people share the mark: two letters of the first word tell
        // them apart, most of the time.
        const QStringList letters = characters(words.first()).mid(0, 2);
        return letters.value(0).toUpper() + letters.mid(1).join(QString()).toLower() + u'.';
    }
    return own;
}

QString WrappedSettings::named(const QString &text, const QList<Wrapped::Person> &people) const
{
    if (!text.contains(u'{'))
        return text;
    QString replaced = text;
    for (const Wrapped::Person &person : people)
        replaced.replace(u'{' + person.id + u'}', display(person, people));
    return replaced;
}
