#include "ircreader.h"

#include "chatbuilder.h"
#include "chatfile.h"
#include "chattime.h"
#include "textlines.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace Brimlow {

namespace {

// Nick prefixes of channel modes: op, voice, half-op, owner, admin.
QStringView plainNick(QStringView nick)
{
    nick = nick.trimmed();
    while (!nick.isEmpty() && QStringView(u"@+%~&!").contains(nick.front()))
        nick = nick.mid(1);
    return nick.trimmed();
}

const QRegularExpression &irssiLine()
{
    static const QRegularExpression line(
        QStringLiteral(R"(^(\d{2}):(\d{2})(?::(\d{2}))? (?:<([^>]+)> (.*)|\s?\* (\S+) (.*))$)"));
    return line;
}

const QRegularExpression &bracketLine()
{
    static const QRegularExpression line(QStringLiteral(
        R"(^\[(?:(\d{4})-(\d{2})-(\d{2})[ T])?(\d{1,2}):(\d{2})(?::(\d{2}))?\] (?:<([^>]+)> (.*)|\* (\S+) (.*))$)"));
    return line;
}

// dircproxy's "[24 Dec 09:05] <sam!~sam@example.com> hey": a day without
// its year, the sender with the user and host they wrote from.
const QRegularExpression &dircproxyLine()
{
    static const QRegularExpression line(QStringLiteral(
        R"(^\[(\d{1,2}) ([A-Za-z]{3}) (\d{2}):(\d{2})\] (?:<([^>!]+)(?:![^>]*)?> (.*)|\* (\S+) (.*))$)"));
    return line;
}

// "2005-01-08T23:33:54  <sam> hey", as some bouncers and bots log.
const QRegularExpression &isoLine()
{
    static const QRegularExpression line(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.\d+)?(?:Z|[+-]\d{2}:?\d{2})?\s+(?:<([^>]+)>\s?(.*)|\*\s+(\S+)\s?(.*))$)"));
    return line;
}

const QRegularExpression &weechatLine()
{
    static const QRegularExpression line(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})\t([^\t]*)\t(.*)$)"));
    return line;
}

// "Sun Jan 31 21:40:00 2021" and "Mon Feb 01 2021", in irssi's, mIRC's
// and HexChat's headers. mIRC writes "Session Time:" at each midnight of a
// session: a day without talk is still a day.
QDate dayInHeader(QStringView line)
{
    if (!line.startsWith(QLatin1String("---")) && !line.startsWith(QLatin1String("Session"))
        && !line.startsWith(QLatin1String("****")))
        return {};
    static const QRegularExpression header(QStringLiteral(
        R"((?:Log opened|Day changed|Session Start:|Session Time:|BEGIN LOGGING AT)\s+\w{3},?\s+(\w{3})\s+(\d{1,2})(?:\s+[\d:]+)?\s+(\d{4}))"));
    const auto found = header.match(line);
    if (!found.hasMatch())
        return {};
    return QDate(
        found.captured(3).toInt(), ChatTime::monthNamed(found.captured(1)), found.captured(2).toInt());
}

QDate dayInName(const QString &name)
{
    static const QRegularExpression date(QStringLiteral(R"((\d{4})-?(\d{2})-?(\d{2}))"));
    const auto found = date.match(name);
    return found.hasMatch()
        ? QDate(found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3).toInt())
        : QDate();
}

// The year a file's name gives, as a whole date or alone ("#rust.2019.log"); 0 if none.
int yearInName(const QString &name)
{
    if (const QDate day = dayInName(name); day.isValid())
        return day.year();
    static const QRegularExpression year(QStringLiteral(R"((?:^|\D)((?:19|20)\d{2})(?:\D|$))"));
    const auto found = year.match(name);
    return found.hasMatch() ? found.captured(1).toInt() : 0;
}

QString channelIn(const QString &path)
{
    static const QRegularExpression channel(QStringLiteral(R"((#[^./\\\s]+))"));
    const auto found = channel.match(path);
    return found.hasMatch() ? found.captured(1) : QString();
}

// One line of talk; nick and text are views into the log's text.
struct Line
{
    QDate day; // valid when the line carries its own day
    int month = 0; // of a day written without its year, and its day of the month
    int monthDay = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    QStringView nick;
    QStringView text;
    bool action = false; // "* sam waves"

    QString message() const
    {
        return action ? QLatin1Char('*') + text.toString() + QLatin1Char('*') : text.toString();
    }
};

// mIRC's own lines, written like a person's action: "* Now talking in
// #kavine", "* Topic is '…'", "* Set by rasa on …", "* Joins: jonas (…)",
// "* rasa is now known as rasa_away". No nick holds a colon.
bool isClientNotice(QStringView nick, QStringView text)
{
    static const QList<std::pair<QLatin1StringView, QLatin1StringView>> own = {
        { QLatin1StringView("Now"), QLatin1StringView("talking in ") },
        { QLatin1StringView("Topic"), QLatin1StringView("is ") },
        { QLatin1StringView("Set"), QLatin1StringView("by ") },
        { QLatin1StringView("Attempting"), QLatin1StringView("to rejoin") },
        { QLatin1StringView("Rejoined"), QLatin1StringView("channel ") },
        { QLatin1StringView("Retrieving"), QLatin1StringView("") },
    };
    static const QList<QLatin1StringView> aboutSomeone
        = { QLatin1StringView("is now known as "), QLatin1StringView("sets mode: "),
              QLatin1StringView("was kicked by "), QLatin1StringView("changes topic to ") };
    if (nick.endsWith(QLatin1Char(':')))
        return true;
    for (const auto &[word, next] : own) {
        if (nick == word && text.startsWith(next))
            return true;
    }
    return std::any_of(aboutSomeone.cbegin(), aboutSomeone.cend(),
        [&](QLatin1StringView words) { return text.startsWith(words); });
}

std::optional<Line> lineIn(QStringView text)
{
    // Each style has its own first characters; only one pattern may match.
    if (text.size() < 8)
        return std::nullopt;
    const bool weechat = text.at(0).isDigit() && text.at(4) == QLatin1Char('-');
    const bool bracket = text.at(0) == QLatin1Char('[');
    const bool irssi = text.at(0).isDigit() && text.at(2) == QLatin1Char(':');
    if (weechat && text.size() > 10 && text.at(10) == QLatin1Char('T')) {
        // Joins, parts, quits and nick changes ("*** sam has joined") match
        // no talk and are left out.
        const auto iso = isoLine().match(text);
        if (!iso.hasMatch())
            return std::nullopt;
        const bool action = iso.capturedLength(7) == 0;
        return Line { QDate(iso.capturedView(1).toInt(), iso.capturedView(2).toInt(),
                          iso.capturedView(3).toInt()),
            0, 0, iso.capturedView(4).toInt(), iso.capturedView(5).toInt(), iso.capturedView(6).toInt(),
            plainNick(action ? iso.capturedView(9) : iso.capturedView(7)),
            action ? iso.capturedView(10) : iso.capturedView(8), action };
    }
    if (weechat) {
        const auto w = weechatLine().match(text);
        if (!w.hasMatch())
            return std::nullopt;
        const QStringView prefix = w.capturedView(7);
        QStringView nick = plainNick(prefix);
        QStringView body = w.capturedView(8);
        const bool action = prefix.trimmed() == QLatin1String("*");
        if (action) {
            const qsizetype space = body.indexOf(QLatin1Char(' '));
            nick = space < 0 ? body : body.left(space);
            body = space < 0 ? QStringView() : body.mid(space + 1);
        } else if (nick.isEmpty() || prefix.contains(QLatin1String("--"))
            || prefix.contains(QLatin1String("=!="))) {
            return std::nullopt; // joins, parts, network notices
        }
        return Line { QDate(w.capturedView(1).toInt(), w.capturedView(2).toInt(), w.capturedView(3).toInt()),
            0, 0, w.capturedView(4).toInt(), w.capturedView(5).toInt(), w.capturedView(6).toInt(), nick, body,
            action };
    }
    // "[24 Dec": a day before the time.
    if (bracket && (text.at(2) == QLatin1Char(' ') || text.at(3) == QLatin1Char(' '))) {
        const auto d = dircproxyLine().match(text);
        const int month = d.hasMatch() ? ChatTime::monthNamed(d.capturedView(2)) : 0;
        if (month == 0)
            return std::nullopt;
        const bool action = d.capturedLength(5) == 0;
        QStringView nick = plainNick(action ? d.capturedView(7) : d.capturedView(5));
        return Line { QDate(), month, d.capturedView(1).toInt(), d.capturedView(3).toInt(),
            d.capturedView(4).toInt(), 0, nick, action ? d.capturedView(8) : d.capturedView(6), action };
    }
    if (const auto b = bracket ? bracketLine().match(text) : QRegularExpressionMatch(); b.hasMatch()) {
        const bool action = b.capturedLength(7) == 0;
        if (action && isClientNotice(b.capturedView(9), b.capturedView(10)))
            return std::nullopt;
        const QDate day = b.capturedLength(1) == 0
            ? QDate()
            : QDate(b.capturedView(1).toInt(), b.capturedView(2).toInt(), b.capturedView(3).toInt());
        return Line { day, 0, 0, b.capturedView(4).toInt(), b.capturedView(5).toInt(),
            b.capturedView(6).toInt(), plainNick(action ? b.capturedView(9) : b.capturedView(7)),
            action ? b.capturedView(10) : b.capturedView(8), action };
    }
    // irssi's "21:41 <sam> hey", the most common line, without a pattern.
    const qsizetype timeEnd = !irssi ? -1
        : text.at(5) == QLatin1Char(' ')
        ? 5
        : (text.at(5) == QLatin1Char(':') && text.size() > 9 && text.at(8) == QLatin1Char(' ') ? 8 : -1);
    const qsizetype close = timeEnd > 0 && text.at(timeEnd + 1) == QLatin1Char('<')
        ? text.indexOf(QLatin1String("> "), timeEnd + 3)
        : -1;
    if (close > 0) {
        bool ok[3] = { false, false, true };
        const int hour = text.left(2).toInt(&ok[0]);
        const int minute = text.mid(3, 2).toInt(&ok[1]);
        const int second = timeEnd == 8 ? text.mid(6, 2).toInt(&ok[2]) : 0;
        if (ok[0] && ok[1] && ok[2])
            return Line { QDate(), 0, 0, hour, minute, second,
                plainNick(text.mid(timeEnd + 2, close - timeEnd - 2)), text.mid(close + 2), false };
    }
    if (const auto i = irssi ? irssiLine().match(text) : QRegularExpressionMatch(); i.hasMatch()) {
        const bool action = i.capturedLength(4) == 0;
        return Line { QDate(), 0, 0, i.capturedView(1).toInt(), i.capturedView(2).toInt(),
            i.capturedView(3).toInt(), plainNick(action ? i.capturedView(6) : i.capturedView(4)),
            action ? i.capturedView(7) : i.capturedView(5), action };
    }
    return std::nullopt;
}

// freenode's identify-msg mark before a text: "+" for an identified nick,
// "-" for the others.
bool hasIdentifyMark(QStringView text)
{
    return text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'));
}

// Someone joining, leaving or changing nick, in the styles that log it, and
// dircproxy's notices, CTCPs and its own lines ("*** You connected").
bool isNotice(QStringView line)
{
    static const QRegularExpression notice(
        QStringLiteral(R"(^(?:\d{4}-\d{2}-\d{2}T[\d:.+\-Z]+\s+\*\*\* |\[?\d{2}:\d{2}(?::\d{2})?\]? -!- |)"
                       R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\t(?:-->|<--|--)\t|)"
                       R"(\[\d{1,2} [A-Za-z]{3} \d{2}:\d{2}\] (?:-->|<--|---|\*\*\*|-\S+-|\[\S+\]) |)"
                       R"(\[\d{2}:\d{2}(?::\d{2})?\] \* (?:\S+:|Now talking in|Topic is|Set by) |)"
                       R"(Session (?:Start|Close|Ident|Time): ))"));
    return notice.match(line).hasMatch();
}

// Walks the log's talk with the day each line falls on: from headers, from
// lines that carry their own day, from days without their year, counted
// from year on, and from times that go back past midnight, starting on day.
struct DayWalk
{
    QDate day;
    int year = 0; // of days written without one; 0 while it is not known
    bool headerSeen = false;
    int rollovers = 0;
    // Days without their year: how often they went on from December into
    // January, and the last of them.
    int newYears = 0;
    int lastMonth = 0;
    int lastMonthDay = 0;

    template<typename Talk> void run(TextLines &lines, Talk &&talk)
    {
        int lastMinute = -1;
        lines.rewind();
        while (lines.next()) {
            const QStringView rawLine = lines.line();
            const QDate header = dayInHeader(rawLine);
            if (header.isValid()) {
                day = header;
                year = header.year();
                lastMonth = header.month();
                headerSeen = true;
                lastMinute = -1;
                continue;
            }
            auto line = lineIn(rawLine);
            if (!line)
                continue;
            const int minute = line->hour * 60 + line->minute;
            if (line->day.isValid()) {
                day = line->day;
            } else if (line->month > 0) {
                if (line->month < lastMonth) {
                    ++newYears;
                    year += year > 0 ? 1 : 0;
                }
                lastMonth = line->month;
                lastMonthDay = line->monthDay;
                line->day = year > 0 ? QDate(year, line->month, line->monthDay) : QDate();
                day = line->day.isValid() ? line->day : day;
            } else {
                if (lastMinute >= 0 && minute < lastMinute) {
                    day = day.isValid() ? day.addDays(1) : day;
                    ++rollovers;
                }
                line->day = day;
            }
            lastMinute = minute;
            talk(*line);
        }
    }
};

} // namespace

QString IrcReader::service() const
{
    return QStringLiteral("IRC");
}

bool IrcReader::recognises(const QByteArray &head) const
{
    const QString text = ChatFile::decode(head);
    int lines = 0;
    int others = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n')).mid(0, 80)) {
        const QStringView plain = line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line;
        if (plain.startsWith(QLatin1String("--- Log opened ")))
            return true;
        if (lineIn(plain))
            ++lines;
        else if (!plain.trimmed().isEmpty() && !isNotice(plain))
            ++others;
    }
    // Logs rotated by day may hold a line or two, and nothing else.
    return lines >= 3 || (lines > 0 && others == 0);
}

QList<ChatLogReader::Chat> IrcReader::read(const QString &path, Context &context) const
{
    const QFileInfo info(path);
    const QDate modified = info.lastModified().date();
    // Old logs hold what each client sent: UTF-8 from some, Windows-1252 from others.
    TextLines lines(ChatFile::bytes(path), TextLines::Fallback::Windows1252);
    QList<Chat> chats = parse(lines, info.absoluteFilePath(), modified, context.detail);
    // Logs rotated by day continue one channel in one folder.
    const QString channel
        = channelIn(info.fileName()).isEmpty() ? channelIn(info.absolutePath()) : channelIn(info.fileName());
    if (!channel.isEmpty() || dayInName(info.fileName()).isValid()) {
        for (Chat &chat : chats)
            chat.joinKey = QStringLiteral("irc:") + info.absolutePath() + QLatin1Char('/') + channel;
    }
    return chats;
}

QList<ChatLogReader::Chat> IrcReader::parse(
    TextLines &lines, const QString &fileName, const QDate &lastDay, Detail detail)
{
    const QDate named = dayInName(QFileInfo(fileName).fileName());
    const int namedYear = yearInName(QFileInfo(fileName).fileName());
    // A first pass counts the days the log spans; a log of times alone, or
    // of days without their year, then ends on the day its file was last
    // written. Where most texts of dircproxy's lines begin with an
    // identify-msg mark, the mark is no part of any.
    DayWalk count { named, namedYear };
    int talk = 0;
    int marked = 0;
    count.run(lines, [&](const Line &line) {
        if (line.month > 0 && !line.action) {
            ++talk;
            marked += hasIdentifyMark(line.text) ? 1 : 0;
        }
    });
    const bool identifyMarks = marked * 2 > talk;
    QDate start = named;
    if (!named.isValid() && !count.headerSeen && lastDay.isValid())
        start = lastDay.addDays(-count.rollovers);
    int startYear = namedYear;
    if (startYear == 0 && !count.headerSeen && count.lastMonth > 0 && lastDay.isValid()) {
        const bool endsTheYearBefore
            = std::pair(count.lastMonth, count.lastMonthDay) > std::pair(lastDay.month(), lastDay.day());
        startYear = lastDay.year() - (endsTheYearBefore ? 1 : 0) - count.newYears;
    }

    ChatBuilder builder(detail);
    DayWalk walk { start, startYear };
    walk.run(lines, [&](Line line) {
        if (!line.day.isValid())
            return;
        if (identifyMarks && line.month > 0 && !line.action && hasIdentifyMark(line.text))
            line.text = line.text.mid(1);
        builder.add(ChatTime::fromFields(line.day.year(), line.day.month(), line.day.day(), line.hour,
                        line.minute, line.second),
            line.nick.toString(), line.message());
    });
    builder.chat().transcript.name = channelIn(QFileInfo(fileName).fileName());
    if (builder.chat().transcript.name.isEmpty())
        builder.chat().transcript.name = channelIn(QFileInfo(fileName).absolutePath());
    QList<Chat> chats;
    builder.takeInto(chats);
    return chats;
}

} // namespace Brimlow
