#pragma once

#include "model/bookfile.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>

// US English numbers and dates in UTC, so texts and times are the same on
// every machine; a test may pick another zone with setZone().
class InsightsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_locale = QLocale();
        m_zone = qgetenv("TZ");
        m_hadZone = qEnvironmentVariableIsSet("TZ");
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        setZone("UTC");
    }

    void TearDown() override
    {
        QLocale::setDefault(m_locale);
        if (m_hadZone)
            qputenv("TZ", m_zone);
        else
            qunsetenv("TZ");
        tzset();
    }

    static void setZone(const QByteArray &zone)
    {
        qputenv("TZ", zone);
        tzset();
    }

private:
    QLocale m_locale;
    QByteArray m_zone;
    bool m_hadZone = false;
};

inline BookFile::Message message(
    const QString &id, const QString &at, const QString &from, std::optional<QString> text = std::nullopt)
{
    BookFile::Message made;
    made.id = id;
    made.at = at;
    made.from = from;
    made.text = std::move(text);
    return made;
}

// A two-person book: "me" (Alex) and "them" named as given.
inline BookFile book(const QList<BookFile::Message> &messages, const QString &them = QStringLiteral("Sam"))
{
    BookFile made;
    made.format = 1;
    made.style = QStringLiteral("novel");
    made.people
        = { { QStringLiteral("me"), QStringLiteral("Alex"), true }, { QStringLiteral("them"), them, false } };
    made.messages = messages;
    return made;
}
