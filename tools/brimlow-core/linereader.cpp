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

bool isAfternoon(const QString &prefix, const QString &suffix);

// A message line's time in 24 hours and what follows its first tab.
struct TimedLine
{
    int hour = 0;
    int minute = 0;
    QStringView rest;
};

std::optional<TimedLine> timedLine(QStringView line)
{
    // Most lines are "21:41<TAB>…", read without a pattern.
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if ((colon == 1 || colon == 2) && line.size() > colon + 3 && line.at(colon + 3) == QLatin1Char('\t')
        && line.at(0).isDigit()) {
        bool hourOk = false;
        bool minuteOk = false;
        const int hour = line.left(colon).toInt(&hourOk);
        const int minute = line.mid(colon + 1, 2).toInt(&minuteOk);
        if (hourOk && minuteOk)
            return TimedLine { hour, minute, line.mid(colon + 4) };
    }
    const auto found = messageLine().match(line);
    if (!found.hasMatch())
        return std::nullopt;
    int hour = found.capturedView(2).toInt();
    if (found.capturedLength(1) > 0 || found.capturedLength(4) > 0)
        hour = ChatTime::hour24(hour, isAfternoon(found.captured(1), found.captured(4)));
    return TimedLine { hour, found.capturedView(3).toInt(), found.capturedView(5) };
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

QList<ChatLogReader::Chat> LineReader::parse(const QString &text)
{
    // Lines as views into the text: a long chat has a million of them.
    QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    ChatBuilder builder;
    if (!lines.isEmpty())
        builder.chat().transcript.name = groupNameIn(lines.first().trimmed().toString());
    QDate day;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        // Day lines have no tab; message lines always do.
        if (!line.contains(QLatin1Char('\t'))) {
            const QDate lineDay = line.isEmpty() ? QDate() : dayIn(line.trimmed().toString());
            if (lineDay.isValid())
                day = lineDay;
            continue;
        }
        const auto timed = timedLine(line);
        if (!timed || !day.isValid())
            continue;
        const QStringView rest = timed->rest;
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
        const QStringView sender = tab < 0 ? QStringView() : rest.left(tab);
        if (tab < 0 || sender.trimmed().isEmpty())
            continue; // someone joined, left or unsent a message
        QString body = rest.mid(tab + 1).toString();
        // A message of several lines stands in double quotes.
        if (body.startsWith(QLatin1Char('"')) && !(body.size() > 1 && body.endsWith(QLatin1Char('"')))) {
            while (i + 1 < lines.size() && !timedLine(lines.at(i + 1))) {
                body.append(QLatin1Char('\n')).append(lines.at(++i));
                if (body.endsWith(QLatin1Char('"')))
                    break;
            }
        }
        if (body.size() > 1 && body.startsWith(QLatin1Char('"')) && body.endsWith(QLatin1Char('"'))
            && body.contains(QLatin1Char('\n')))
            body = body.mid(1, body.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        const QString at
            = ChatTime::fromFields(day.year(), day.month(), day.day(), timed->hour, timed->minute);
        const auto media
            = body.startsWith(QLatin1Char('[')) ? placeholder(body) : QList<Transcript::Attachment>();
        builder.add(at, sender.toString(), media.isEmpty() ? body : QString(), media);
    }
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
