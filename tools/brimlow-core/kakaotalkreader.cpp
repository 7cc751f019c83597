#include "kakaotalkreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "csvtable.h"
#include "mediakind.h"
#include "textlines.h"

#include <QDate>
#include <QRegularExpression>

namespace Brimlow {

namespace {

// "2021년 1월 31일", "2021. 1. 31.", "January 31, 2021", "Sunday, January 31, 2021".
const QString DatePattern = QStringLiteral(
    R"x((?:(\d{4})년\s*(\d{1,2})월\s*(\d{1,2})일|(\d{4})\.\s*(\d{1,2})\.\s*(\d{1,2})\.?|(?:\w+,\s*)?(\w+)\s+(\d{1,2}),\s*(\d{4})))x");
// "오후 9:41", "9:41 PM".
const QString TimePattern
    = QStringLiteral(R"((?:(오전|오후)\s*(\d{1,2}):(\d{2})|(\d{1,2}):(\d{2})\s*([AP]M)))");

const QRegularExpression &dividerLine()
{
    static const QRegularExpression line(
        QStringLiteral(R"(^-{5,}\s*)") + DatePattern + QStringLiteral(R"(.*-{5,}\s*$)"));
    return line;
}

const QRegularExpression &pcLine()
{
    static const QRegularExpression line(
        QStringLiteral(R"(^\[([^\]]+)\] \[)") + TimePattern + QStringLiteral(R"(\] (.*)$)"));
    return line;
}

const QRegularExpression &phoneLine()
{
    static const QRegularExpression line(QStringLiteral("^") + DatePattern
        + QStringLiteral(R"((?:,|\s+at)?\s+)") + TimePattern + QStringLiteral(R"(, (.+?) : (.*)$)"));
    return line;
}

QDate dateFrom(const QRegularExpressionMatch &found, int first)
{
    for (int group = first; group < first + 6; group += 3) {
        if (!found.captured(group).isEmpty())
            return QDate(found.captured(group).toInt(), found.captured(group + 1).toInt(),
                found.captured(group + 2).toInt());
    }
    const int month = ChatTime::monthNamed(found.captured(first + 6));
    return QDate(found.captured(first + 8).toInt(), month, found.captured(first + 7).toInt());
}

// Hour and minute from the time groups starting at first.
std::pair<int, int> timeFrom(const QRegularExpressionMatch &found, int first)
{
    if (!found.captured(first).isEmpty())
        return { ChatTime::hour24(
                     found.captured(first + 1).toInt(), found.captured(first) == QStringLiteral("오후")),
            found.captured(first + 2).toInt() };
    return { ChatTime::hour24(
                 found.captured(first + 3).toInt(), found.captured(first + 5) == QLatin1String("PM")),
        found.captured(first + 4).toInt() };
}

// "[Sam] [오후 9:41] hey" read without a pattern: a chat has a million.
struct PcLine
{
    QString sender;
    std::pair<int, int> time;
    QString text;
};

std::optional<PcLine> pcLineIn(QStringView line)
{
    const qsizetype nameEnd = line.indexOf(QLatin1String("] ["));
    const qsizetype timeEnd = nameEnd < 0 ? -1 : line.indexOf(QLatin1String("] "), nameEnd + 3);
    if (!line.startsWith(QLatin1Char('[')) || nameEnd < 2 || timeEnd < 0)
        return std::nullopt;
    QStringView time = line.mid(nameEnd + 3, timeEnd - nameEnd - 3);
    int afternoon = -1;
    if (time.startsWith(u"오전") || time.startsWith(u"오후")) {
        afternoon = time.startsWith(u"오후") ? 1 : 0;
        time = time.mid(2).trimmed();
    } else if (time.endsWith(QLatin1String("AM")) || time.endsWith(QLatin1String("PM"))) {
        afternoon = time.endsWith(QLatin1String("PM")) ? 1 : 0;
        time = time.chopped(2).trimmed();
    }
    const qsizetype colon = time.indexOf(QLatin1Char(':'));
    bool hourOk = false;
    bool minuteOk = false;
    const int hour = time.left(colon).toInt(&hourOk);
    const int minute = time.mid(colon + 1).toInt(&minuteOk);
    if (afternoon < 0 || colon < 1 || !hourOk || !minuteOk || time.size() - colon != 3)
        return std::nullopt;
    return PcLine { line.mid(1, nameEnd - 1).toString(), { ChatTime::hour24(hour, afternoon == 1), minute },
        line.mid(timeEnd + 2).toString() };
}

QString at(const QDate &day, std::pair<int, int> time)
{
    if (!day.isValid())
        return {};
    return ChatTime::fromFields(day.year(), day.month(), day.day(), time.first, time.second);
}

bool isDigits(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The attachment a message stands for when KakaoTalk wrote a placeholder in
// its place: "사진", "사진 3장", "3 photos", "Video", "Emoticon"... Compared
// word for word, not by patterns: every message of a chat is tested.
QList<Transcript::Attachment> placeholder(const QString &text)
{
    const QStringView plain = QStringView(text).trimmed();
    const auto isOneOf = [&](std::initializer_list<QStringView> words) {
        return std::find(words.begin(), words.end(), plain) != words.end();
    };
    const bool countedPhotos = (plain.startsWith(u"사진 ") && plain.endsWith(u'장') && isDigits(plain.mid(3).chopped(1)))
        || (plain.endsWith(u" photos") && isDigits(plain.chopped(7)));
    if (countedPhotos || isOneOf({ u"사진", u"Photo", u"Photos" }))
        return { { MediaKind::photo(), {}, {} } };
    if (isOneOf({ u"동영상", u"Video" }))
        return { { MediaKind::video(), {}, {} } };
    if (isOneOf({ u"이모티콘", u"Emoticon", u"Emoticons" }))
        return { { MediaKind::sticker(), {}, {} } };
    if (isOneOf({ u"음성메시지", u"Voice Note", u"Voice Message" }))
        return { { MediaKind::voiceMemo(), {}, {} } };
    return {};
}

// The first line names the chat: "Sam 님과 카카오톡 대화", "Sam, KakaoTalk
// Chats with Sam".
QString chatNameIn(QStringView header)
{
    static const QRegularExpression korean(QStringLiteral(R"(^(.+?)\s*님과 카카오톡 대화$)"));
    static const QRegularExpression english(QStringLiteral(R"((?:^|,\s*)KakaoTalk Chats with (.+)$)"));
    const QString line = header.trimmed().toString();
    for (const QRegularExpression *named : { &korean, &english }) {
        if (const auto found = named->match(line); found.hasMatch())
            return found.captured(1).trimmed();
    }
    return {};
}

struct Pending
{
    QString at;
    QString sender;
    QString text;
};

void flush(std::optional<Pending> &pending, ChatBuilder &builder)
{
    if (!pending)
        return;
    const auto media = placeholder(pending->text);
    builder.add(pending->at, pending->sender, media.isEmpty() ? pending->text : QString(), media);
    pending.reset();
}

QList<ChatLogReader::Chat> parseCsv(TextLines &lines, ChatLogReader::Detail detail)
{
    ChatBuilder builder(detail);
    bool header = true;
    CsvTable::forEachRow(lines, [&](const QStringList &row) {
        if (std::exchange(header, false) || row.size() < 3)
            return;
        const auto media = placeholder(row.at(2));
        builder.add(ChatTime::fromIso(row.at(0)), row.at(1), media.isEmpty() ? row.at(2) : QString(), media);
    });
    QList<ChatLogReader::Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace

QString KakaoTalkReader::service() const
{
    return QStringLiteral("KakaoTalk");
}

bool KakaoTalkReader::recognises(const QByteArray &head) const
{
    const QString text = ChatFile::decode(head);
    if (text.startsWith(QLatin1String("Date,User,Message")))
        return true;
    int matched = 0;
    for (const QString &line : text.split(QLatin1Char('\n')).mid(0, 60)) {
        const QString plain = line.trimmed();
        if (dividerLine().match(plain).hasMatch() || pcLine().match(plain).hasMatch()
            || phoneLine().match(plain).hasMatch())
            ++matched;
    }
    return matched >= 2
        || (matched >= 1
            && (text.contains(QStringLiteral("카카오톡")) || text.contains(QLatin1String("KakaoTalk"))));
}

QList<ChatLogReader::Chat> KakaoTalkReader::read(const QString &path, Context &context) const
{
    TextLines lines(ChatFile::bytes(path));
    return parse(lines, context.detail);
}

QList<ChatLogReader::Chat> KakaoTalkReader::parse(TextLines &lines, Detail detail)
{
    const bool csv = lines.next() && lines.line().startsWith(QLatin1String("Date,User,Message"));
    lines.rewind();
    if (csv)
        return parseCsv(lines, detail);
    ChatBuilder builder(detail);
    const QString name = lines.next() ? chatNameIn(lines.line()) : QString();
    lines.rewind();
    QDate day;
    std::optional<Pending> pending;
    static const QRegularExpression notice(QStringLiteral("^") + DatePattern);
    while (lines.next()) {
        const QStringView line = lines.line();
        // Each kind of line has its own first character; the patterns run
        // only where they may match.
        const QChar first = line.isEmpty() ? QChar() : line.front();
        if (first == QLatin1Char('-')) {
            if (const auto divider = dividerLine().match(line.trimmed()); divider.hasMatch()) {
                flush(pending, builder);
                day = dateFrom(divider, 1);
                continue;
            }
        } else if (first == QLatin1Char('[')) {
            if (auto pc = pcLineIn(line)) {
                flush(pending, builder);
                pending = Pending { at(day, pc->time), std::move(pc->sender), std::move(pc->text) };
                continue;
            }
        } else if (first.isLetterOrNumber() && line.contains(QLatin1String(" : "))) {
            if (const auto phone = phoneLine().match(line); phone.hasMatch()) {
                flush(pending, builder);
                pending = Pending { at(dateFrom(phone, 1), timeFrom(phone, 10)), phone.captured(16),
                    phone.captured(17) };
                continue;
            }
        }
        // A line that starts with a date but names nobody is a notice
        // (someone joined or left); any other line continues the message.
        if (first.isLetterOrNumber() && notice.match(line).hasMatch()) {
            flush(pending, builder);
            continue;
        }
        if (pending)
            pending->text.append(QLatin1Char('\n')).append(line);
    }
    flush(pending, builder);
    // A group's room is named the same way; only a one-to-one chat is named
    // after the other person. Such chats were keyed by their people before
    // their name was read; their key stays, or their books and choices
    // would be lost.
    if (builder.chat().transcript.participants.size() <= 2) {
        builder.chat().transcript.name = name;
        builder.chat().keyName = QString();
    }
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
