#include "linereader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "mediakind.h"
#include "textlines.h"

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

// What may follow a date for its line to be a day's: the weekday in
// brackets, "2021/01/31(Sun)", or also written out as one word, "2021.01.31
// Sunday", as the iPhone app writes it. Right below a message, with no blank line
// between, only the bracketed weekday makes a day: a person's words could
// as well begin with a date and a word.
enum class AfterTheDate { Weekday, WeekdayOnly };

// The day a date line names, or an invalid date. A date followed by more
// words ("2019/12/31 party at Kenji's") is a person's, whatever is above.
QDate dayIn(const QString &line, AfterTheDate after = AfterTheDate::Weekday)
{
    static const QRegularExpression yearFirst(QStringLiteral(R"(^(\d{4})[/.\-](\d{1,2})[/.\-](\d{1,2})\b)"));
    static const QRegularExpression weekday(QStringLiteral(R"(^\s*[(（][^)）]{1,12}[)）]\s*$)"));
    // One word in any language: "Tuesday", "mardi", "火曜日", "화요일".
    static const QRegularExpression weekdayWord(QStringLiteral(R"(^(?:\s+\p{L}{1,12}\.?)?\s*$)"));
    static const QRegularExpression weekdayFirst(
        QStringLiteral(R"(^\w{2,9}\.?,\s*(\d{1,2})/(\d{1,2})/(\d{4})\s*$)"));
    auto found = yearFirst.match(line);
    if (found.hasMatch()) {
        const QStringView rest = QStringView(line).mid(found.capturedEnd());
        if (!weekday.match(rest).hasMatch()
            && (after == AfterTheDate::WeekdayOnly || !weekdayWord.match(rest).hasMatch()))
            return {};
        return QDate(found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3).toInt());
    }
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

// The chat's name in the first line: "[LINE] Chat history in Crew" names
// a group, "[LINE] Chat history with Sam" the other person of a one-to-one
// chat, and likewise in Japanese. One-to-one chats were keyed by their
// people before their name was read, and Japanese ones by their name with
// its "と" as if they were groups; each keeps its key, or its book and the
// user's choices would be lost.
struct Header
{
    QString name;
    std::optional<QString> keyName;
};

Header headerIn(const QString &header)
{
    static const QRegularExpression in(QStringLiteral(R"(^\[LINE\]\s*Chat history in (.+)$)"));
    static const QRegularExpression with(QStringLiteral(R"(^\[LINE\]\s*Chat history with (.+)$)"));
    static const QRegularExpression withInJapanese(QStringLiteral(R"(^\[LINE\]\s*(.+?)とのトーク履歴$)"));
    static const QRegularExpression inJapanese(QStringLiteral(R"(^\[LINE\]\s*(.+?)のトーク履歴$)"));
    if (const auto found = in.match(header); found.hasMatch())
        return { found.captured(1).trimmed(), std::nullopt };
    if (const auto found = with.match(header); found.hasMatch())
        return { found.captured(1).trimmed(), QString() };
    if (const auto found = withInJapanese.match(header); found.hasMatch())
        return { found.captured(1).trimmed(), (found.captured(1) + QStringLiteral("と")).trimmed() };
    if (const auto found = inJapanese.match(header); found.hasMatch())
        return { found.captured(1).trimmed(), std::nullopt };
    return { {}, QString() };
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

QList<ChatLogReader::Chat> LineReader::read(const QString &path, Context &context) const
{
    TextLines lines(ChatFile::bytes(path));
    return parse(lines, context.detail);
}

namespace {

// A message whose text may still go on over the next lines.
struct Pending
{
    QString at;
    QString sender;
    QString body;
    bool open = false; // a quoted text not closed yet
};

void flush(std::optional<Pending> &pending, ChatBuilder &builder)
{
    if (!pending)
        return;
    QString &body = pending->body;
    if (body.size() > 1 && body.startsWith(QLatin1Char('"')) && body.endsWith(QLatin1Char('"'))
        && body.contains(QLatin1Char('\n')))
        body = body.mid(1, body.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    const auto media
        = body.startsWith(QLatin1Char('[')) ? placeholder(body) : QList<Transcript::Attachment>();
    builder.add(pending->at, pending->sender, media.isEmpty() ? body : QString(), media);
    pending.reset();
}

// The time of each message under the day's line. Android writes midnight's
// hour as 24 ("24:53"), below the line of the day it began; after later
// times of that day it can only mean the night after.
class Clock
{
public:
    void startDay(const QDate &day)
    {
        m_day = day;
        m_latest = -1;
    }

    bool knowsTheDay() const { return m_day.isValid(); }

    QString timeOf(int hour, int minute)
    {
        const bool midnight = hour == 24;
        const QDate day = midnight && m_latest > minute ? m_day.addDays(1) : m_day;
        hour = midnight ? 0 : hour;
        m_latest = qMax(m_latest, hour * 60 + minute);
        return ChatTime::fromFields(day.year(), day.month(), day.day(), hour, minute);
    }

private:
    QDate m_day;
    int m_latest = -1; // the latest minute of the day written so far
};

} // namespace

QList<ChatLogReader::Chat> LineReader::parse(TextLines &lines, Detail detail)
{
    ChatBuilder builder(detail);
    if (lines.next()) {
        const Header header = headerIn(lines.line().trimmed().toString());
        builder.chat().transcript.name = header.name;
        builder.chat().keyName = header.keyName;
    }
    lines.rewind();
    Clock clock;
    std::optional<Pending> pending;
    int blanks = 0; // blank lines below the pending message, not yet its own
    while (lines.next()) {
        const QStringView line = lines.line();
        const auto written = line.contains(QLatin1Char('\t')) ? timedLine(line) : std::nullopt;
        const bool timed = written.has_value();
        if (!timed && line.trimmed().isEmpty()) {
            blanks += pending ? 1 : 0;
            continue;
        }
        // A day's line comes after a blank line; right below a message only
        // a line that is nothing but a day is one.
        const QDate lineDay = timed
            ? QDate()
            : dayIn(line.trimmed().toString(),
                pending && blanks == 0 ? AfterTheDate::WeekdayOnly : AfterTheDate::Weekday);
        // A message of several lines stands in double quotes, or, in older
        // exports, without them: every line that is no message and no day
        // goes on with the message above.
        if (pending && !timed && !lineDay.isValid() && (pending->open || !line.contains(QLatin1Char('\t')))) {
            pending->body.append(QString(blanks + 1, QLatin1Char('\n'))).append(line);
            pending->open = pending->open && !pending->body.endsWith(QLatin1Char('"'));
            blanks = 0;
            continue;
        }
        flush(pending, builder);
        blanks = 0;
        if (lineDay.isValid())
            clock.startDay(lineDay);
        if (!written || !clock.knowsTheDay())
            continue;
        const QString at = clock.timeOf(written->hour, written->minute);
        const QStringView rest = written->rest;
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
        const QStringView sender = tab < 0 ? QStringView() : rest.left(tab);
        if (tab < 0 || sender.trimmed().isEmpty())
            continue; // someone joined, left or unsent a message
        Pending message { at, sender.toString(), rest.mid(tab + 1).toString(), false };
        message.open = message.body.startsWith(QLatin1Char('"'))
            && !(message.body.size() > 1 && message.body.endsWith(QLatin1Char('"')));
        pending = std::move(message);
    }
    flush(pending, builder);
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
