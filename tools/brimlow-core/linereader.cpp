#include "linereader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "mediakind.h"

#include <QDate>
#include <QRegularExpression>

namespace Brimlow {

namespace {

const QRegularExpression &messageLine()
{
    // "21:41", "9:41 PM", "下午9:41", "午後9:41", "오후 9:41", "9:41AM".
    static const QRegularExpression line(
        QStringLiteral(R"(^(上午|下午|午前|午後|오전|오후)?\s?(\d{1,2}):(\d{2})\s?([AaPp][Mm])?\t(.*)$)"));
    return line;
}

// The day a date line names, or an invalid date.
QDate dayIn(const QString &line)
{
    static const QRegularExpression yearFirst(QStringLiteral(R"(^(\d{4})[/.\-](\d{1,2})[/.\-](\d{1,2})\b)"));
    static const QRegularExpression weekdayFirst(
        QStringLiteral(R"(^\w{2,9}\.?,\s*(\d{1,2})/(\d{1,2})/(\d{4})\s*$)"));
    auto found = yearFirst.match(line);
    if (found.hasMatch())
        return QDate(found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3).toInt());
    found = weekdayFirst.match(line);
    if (!found.hasMatch())
        return {};
    int month = found.captured(1).toInt();
    int day = found.captured(2).toInt();
    if (month > 12)
        std::swap(month, day);
    return QDate(found.captured(3).toInt(), month, day);
}

bool isAfternoon(const QString &prefix, const QString &suffix)
{
    return prefix == QStringLiteral("下午") || prefix == QStringLiteral("午後")
        || prefix == QStringLiteral("오후") || suffix.compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0;
}

QList<Transcript::Attachment> placeholder(const QString &text)
{
    static const QHash<QString, QString> kinds = {
        { QStringLiteral("[Photo]"), MediaKind::photo() },
        { QStringLiteral("[Photos]"), MediaKind::photo() },
        { QStringLiteral("[Album]"), MediaKind::photo() },
        { QStringLiteral("[写真]"), MediaKind::photo() },
        { QStringLiteral("[照片]"), MediaKind::photo() },
        { QStringLiteral("[사진]"), MediaKind::photo() },
        { QStringLiteral("[Video]"), MediaKind::video() },
        { QStringLiteral("[動画]"), MediaKind::video() },
        { QStringLiteral("[视频]"), MediaKind::video() },
        { QStringLiteral("[동영상]"), MediaKind::video() },
        { QStringLiteral("[Sticker]"), MediaKind::sticker() },
        { QStringLiteral("[スタンプ]"), MediaKind::sticker() },
        { QStringLiteral("[贴图]"), MediaKind::sticker() },
        { QStringLiteral("[스티커]"), MediaKind::sticker() },
        { QStringLiteral("[Voice message]"), MediaKind::voiceMemo() },
        { QStringLiteral("[ボイスメッセージ]"), MediaKind::voiceMemo() },
        { QStringLiteral("[语音信息]"), MediaKind::voiceMemo() },
        { QStringLiteral("[File]"), MediaKind::file() },
        { QStringLiteral("[ファイル]"), MediaKind::file() },
    };
    const auto found = kinds.constFind(text.trimmed());
    if (found == kinds.constEnd())
        return {};
    return { { *found, {}, {} } };
}

// "[LINE] Chat history with Sam" is one-to-one; "… in Crew" a group.
QString groupNameIn(const QString &header)
{
    static const QRegularExpression in(QStringLiteral(R"(^\[LINE\]\s*Chat history in (.+)$)"));
    static const QRegularExpression japanese(QStringLiteral(R"(^\[LINE\]\s*(.+?)(?<!との)のトーク履歴$)"));
    auto found = in.match(header);
    if (!found.hasMatch())
        found = japanese.match(header);
    return found.hasMatch() ? found.captured(1).trimmed() : QString();
}

} // namespace

QString LineReader::service() const
{
    return QStringLiteral("LINE");
}

bool LineReader::recognises(const QByteArray &head) const
{
    const QString text = ChatFile::decode(head);
    if (text.startsWith(QLatin1String("[LINE]")))
        return true;
    int messages = 0;
    bool dated = false;
    for (const QString &line : text.split(QLatin1Char('\n')).mid(0, 60)) {
        const QString plain = line.trimmed();
        dated = dated || dayIn(plain).isValid();
        messages += messageLine().match(line).hasMatch() && line.count(QLatin1Char('\t')) >= 2 ? 1 : 0;
    }
    return dated && messages >= 3;
}

QList<ChatLogReader::Chat> LineReader::read(const QString &path, Context &) const
{
    return parse(ChatFile::decode(ChatFile::bytes(path)));
}

QList<ChatLogReader::Chat> LineReader::parse(const QString &raw)
{
    QString text = raw;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    ChatBuilder builder;
    if (!lines.isEmpty())
        builder.chat().transcript.name = groupNameIn(lines.first().trimmed());
    QDate day;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const QDate lineDay = dayIn(line.trimmed());
        if (lineDay.isValid() && !line.contains(QLatin1Char('\t'))) {
            day = lineDay;
            continue;
        }
        const auto found = messageLine().match(line);
        if (!found.hasMatch() || !day.isValid())
            continue;
        const QStringList fields = found.captured(5).split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields.first().trimmed().isEmpty())
            continue; // someone joined, left or unsent a message
        QString body = fields.mid(1).join(QLatin1Char('\t'));
        // A message of several lines stands in double quotes.
        if (body.startsWith(QLatin1Char('"')) && !(body.size() > 1 && body.endsWith(QLatin1Char('"')))) {
            while (i + 1 < lines.size() && !messageLine().match(lines.at(i + 1)).hasMatch()) {
                body += QLatin1Char('\n') + lines.at(++i);
                if (body.endsWith(QLatin1Char('"')))
                    break;
            }
        }
        if (body.size() > 1 && body.startsWith(QLatin1Char('"')) && body.endsWith(QLatin1Char('"'))
            && body.contains(QLatin1Char('\n')))
            body = body.mid(1, body.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        int hour = found.captured(2).toInt();
        if (!found.captured(1).isEmpty() || !found.captured(4).isEmpty())
            hour = ChatTime::hour24(hour, isAfternoon(found.captured(1), found.captured(4)));
        const QString at
            = ChatTime::fromParts(day.year(), day.month(), day.day(), hour, found.captured(3).toInt());
        const auto media = placeholder(body);
        builder.add(at, fields.first(), media.isEmpty() ? body : QString(), media);
    }
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
