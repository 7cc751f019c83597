#include "fixtures.h"

#include "failure.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <ctime>

UtcZone::UtcZone(const char *zone)
    : m_old(qgetenv("TZ"))
    , m_had(qEnvironmentVariableIsSet("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

UtcZone::~UtcZone()
{
    if (m_had)
        qputenv("TZ", m_old);
    else
        qunsetenv("TZ");
    tzset();
}

namespace Fixtures {

QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

void writeSampleStore(const QString &path, MessagesDbWriter::Schema schema)
{
    using Style = MessagesDbWriter::Style;
    const bool modern = schema != MessagesDbWriter::Schema::Old;
    const auto storage = schema == MessagesDbWriter::Schema::Ventura
        ? MessagesDbWriter::TextStorage::AttributedOnly
        : MessagesDbWriter::TextStorage::Text;
    MessagesDbWriter db(path, schema);
    const qint64 samMessages = db.handle(QStringLiteral("+15550100"));
    const qint64 samSms = db.handle(QStringLiteral("+15550100"), QStringLiteral("SMS"));
    const qint64 alex = db.handle(QStringLiteral("alex@example.com"));
    const qint64 jo = db.handle(QStringLiteral("+15550102"));

    const qint64 samChat
        = db.chat(QStringLiteral("+15550100"), Style::OneToOne, QStringLiteral("iMessage"), { samMessages });
    const qint64 samSmsChat
        = db.chat(QStringLiteral("+15550100"), Style::OneToOne, QStringLiteral("SMS"), { samSms });
    const qint64 group = db.chat(QStringLiteral("chat900"), Style::Group, QStringLiteral("iMessage"),
        { samMessages, alex, jo }, QStringLiteral("Hiking Crew"));
    const qint64 alexChat
        = db.chat(QStringLiteral("alex@example.com"), Style::OneToOne, QStringLiteral("iMessage"), { alex });

    db.add({ .chat = alexChat,
        .handle = alex,
        .at = utc(2023, 1, 10, 9, 0),
        .text = QStringLiteral("happy new year"),
        .storage = storage });
    db.add({ .chat = samChat,
        .handle = samMessages,
        .at = utc(2024, 3, 5, 21, 14, 9),
        .text = QStringLiteral("see you soon"),
        .storage = storage });
    db.add({ .chat = samSmsChat,
        .handle = samSms,
        .at = utc(2024, 3, 5, 21, 20),
        .text = QStringLiteral("sent as text"),
        .storage = storage });
    db.add({ .chat = samChat,
        .fromMe = true,
        .at = utc(2024, 3, 5, 21, 15),
        .text = QStringLiteral("on my way"),
        .storage = storage });
    if (modern) {
        db.add({ .chat = samChat,
            .handle = samMessages,
            .at = utc(2024, 3, 5, 21, 16),
            .text = QStringLiteral("Loved “on my way”"),
            .associatedType = 2000 });
    }
    db.add({ .chat = group,
        .handle = alex,
        .at = utc(2024, 4, 1, 12, 0),
        .text = QStringLiteral("who's in?"),
        .storage = storage });
    db.add({ .chat = group,
        .handle = jo,
        .at = utc(2024, 4, 1, 12, 5),
        .text = QStringLiteral("me"),
        .storage = storage });
    db.add({ .chat = group,
        .fromMe = true,
        .at = utc(2024, 4, 1, 12, 6),
        .text = QStringLiteral("count me in"),
        .storage = storage });
    if (modern)
        db.add({ .chat = group, .handle = jo, .at = utc(2024, 4, 1, 12, 7), .itemType = 1 });
}

QString photoPath()
{
    return QStringLiteral("~/") + photoRelativePath();
}

QString photoRelativePath()
{
    return QStringLiteral("Library/SMS/Attachments/ab/01/A1B2C3D4/IMG_0001.JPG");
}

void writePhoneStore(const QString &path)
{
    MessagesDbWriter db(path, MessagesDbWriter::Schema::Ventura);
    const qint64 sam = db.handle(QStringLiteral("+15550100"));
    const qint64 chat = db.chat(
        QStringLiteral("+15550100"), MessagesDbWriter::Style::OneToOne, QStringLiteral("iMessage"), { sam });
    db.add({ .chat = chat,
        .handle = sam,
        .at = utc(2024, 5, 30, 18, 0),
        .text = QStringLiteral("the summit!"),
        .storage = MessagesDbWriter::TextStorage::AttributedOnly,
        .attachments = { { photoPath(), QStringLiteral("image/jpeg"), QStringLiteral("public.jpeg"),
            QStringLiteral("IMG_0001.JPG") } } });
    db.add({ .chat = chat, .fromMe = true, .at = utc(2024, 5, 30, 18, 5), .text = QStringLiteral("wow") });
}

QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String("-shm")))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        entries.append(path + QLatin1Char(' ')
            + QString::fromLatin1(
                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()));
    }
    entries.sort();
    return entries;
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Brimlow::Failure &failure) {
        return failure.sentence();
    }
    return {};
}

} // namespace Fixtures
