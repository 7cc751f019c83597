#pragma once

#include "model/wrapped.h"

#include <QColor>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// How the Wrapped cards of one conversation look and which of them are
// shared: a plain value, kept per conversation in the user defaults as
// JSON, with the theme's colours and the rules that name people on cards.
struct WrappedSettings
{
    enum class Format { Story, Post };
    enum class Names { Initials, Full, Custom };
    enum class Theme { Oxblood, Paper, Ink, Blush, Custom };
    enum class Typeface { Instrument, Garamond, Pagella };

    // The theme's colours; faint is the ink at 16 %.
    struct Palette
    {
        QColor background;
        QColor ink;
        QColor accent;
        QColor faint;
    };

    Format format = Format::Story;
    Names names = Names::Initials;
    // Names the user typed, by person id.
    QMap<QString, QString> custom;
    Theme theme = Theme::Oxblood;
    Typeface typeface = Typeface::Instrument;
    // The custom theme's colours, "#RRGGBB"; the defaults are oxblood's.
    QString background = QStringLiteral("#6B1F24");
    QString ink = QStringLiteral("#F6EFE6");
    QString accent = QStringLiteral("#E6B3AD");
    // Every card and the video carry "#ad".
    bool disclose = false;
    // Card ids in the share, in the user's order.
    QStringList selection;

    friend bool operator==(const WrappedSettings &, const WrappedSettings &) = default;

    // The JSON texts of the enumerations, and all of their cases in order.
    static QString formatName(Format format);
    static QString namesName(Names names);
    static QString themeName(Theme theme);
    static QString typefaceName(Typeface typeface);
    static QList<Theme> themes();
    static QList<Typeface> typefaces();
    // The label shown in choosers, and the family the serif texts use.
    static QString label(Typeface typeface);
    static QString family(Typeface typeface);
    // The family of every sans-serif text on cards and in the video.
    static QString sansFamily();

    // Strict: all ten keys, each of its type and known value; throws
    // JsonError otherwise.
    static WrappedSettings fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    // The settings stored for a conversation identifier; nothing when none
    // are stored or they don't read.
    static std::optional<WrappedSettings> load(const QString &conversation);
    void save(const QString &conversation) const;

    Palette palette() const;
    QString family() const { return family(typeface); }

    // The name a card prints for a person among the document's people.
    QString display(const Wrapped::Person &person, const QList<Wrapped::Person> &people) const;
    // A short form of a full name that stays distinct among the others:
    // "J.D.", "Ja." beside "John Dale"; a phone number whole.
    static QString initials(const QString &name, const QStringList &names);
    // text with every "{id}" of the people replaced by display(); text
    // without "{" as it is.
    QString named(const QString &text, const QList<Wrapped::Person> &people) const;
};
