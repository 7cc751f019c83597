#include "printedlines.h"

#include <QMap>
#include <unicode/uchar.h>

namespace {

// Widths are in units of 4.77 pt, an average lower-case letter of the book
// faces at their body sizes (templates/novel/read.typ sizes them to one
// width of text). The measures of templates/novel/book.typ and
// messages.typ: the text block, 3.64 in, where the user's short messages
// are set, and the 78% of it that every other message keeps to.
constexpr double fullMeasure = 54.9;
constexpr double messageMeasure = 42.8;
// An em of the body, by which a message's turnover lines hang in.
constexpr double em = 2.15;
// A message of at most this many bytes, an attachment counting 12, is
// sure to take one line.
constexpr int shortBytes = 24;
constexpr int attachmentBytes = 12;
// The chat-room layout: the time's column and the gap after it, 4 em, by
// which a message's turnover lines hang in too; a bold letter of a screen
// name, and its colon.
constexpr double chatColumn = 4 * em;
constexpr double boldLetter = 1.1;
constexpr double colon = 0.55;

// The advance of each printable ASCII character, from the space to the
// tilde, averaged over the three faces.
// clang-format off
constexpr double asciiWidths[] = {
    0.50, 0.61, 0.73, 1.03, 1.04, 1.55, 1.63, 0.41,
    0.76, 0.76, 0.79, 1.36, 0.50, 0.68, 0.50, 0.86,
    1.08, 0.85, 1.01, 0.97, 1.08, 0.94, 1.06, 1.04,
    1.03, 1.04, 0.53, 0.51, 1.36, 1.36, 1.36, 0.91,
    1.72, 1.55, 1.28, 1.43, 1.60, 1.22, 1.11, 1.56,
    1.71, 0.70, 0.68, 1.47, 1.23, 1.93, 1.65, 1.62,
    1.22, 1.65, 1.42, 1.06, 1.38, 1.58, 1.47, 2.06,
    1.47, 1.31, 1.34, 0.83, 0.84, 0.83, 1.16, 1.07,
    0.72, 0.97, 1.12, 0.89, 1.16, 0.94, 0.65, 1.07,
    1.17, 0.57, 0.51, 1.10, 0.57, 1.76, 1.18, 1.11,
    1.17, 1.14, 0.79, 0.81, 0.69, 1.19, 1.08, 1.63,
    1.04, 1.09, 0.93, 0.78, 0.49, 0.78, 1.11,
};
// clang-format on
constexpr double space = 0.5;
// A letter of another script, or a sign the table doesn't hold.
constexpr double otherLetter = 1.0;
// The colour emoji face draws every emoji about a square em wide.
constexpr double emoji = 2.7;
constexpr double wide = 2.0;
// The time after the first message of a run, "9:14 pm" in small grey
// figures, held to the last word by two spaces that do not break.
constexpr double timeWidth = 6.5;
// A name in spaced small capitals, and the space after it.
constexpr double nameLetter = 1.2;
constexpr double nameGap = 1.3;
// An attachment's framed mark: its word in small capitals with room
// inside the frame. Marks are held to the word before them and to one
// another by spaces that do not break.
constexpr double markLetter = 0.86;
constexpr double markFrame = 1.2;

double asciiWidth(char16_t c)
{
    return c >= u' ' && c <= u'~' ? asciiWidths[c - u' '] : 0;
}

// Lays words on lines the way a first-fit line breaker
// does: a word goes on the line when it fits, else it starts the next
// line; a word longer than the measure is broken across lines (a link
// breaks at its slashes, a word too long for any line by hyphenation).
// The book holds a message's last two words together, which moves a word
// to the last line but never makes another line, so it is not counted.
class Lines
{
public:
    // The first line's measure, and the turnover lines', which hang in.
    Lines(double first, double turnover)
        : m_measure(first)
        , m_turnover(turnover)
    { }

    // Something before the first word that nothing separates from it.
    void lead(double width)
    {
        m_used = width;
        m_spaced = false;
    }

    void word(double width)
    {
        const double gap = m_spaced ? space : 0;
        if (m_used + gap + width <= m_measure) {
            m_used += gap + width;
            m_spaced = true;
            return;
        }
        if (m_used > 0)
            newLine();
        while (width > m_measure) {
            width -= m_measure;
            newLine();
        }
        m_used = width;
        m_spaced = true;
    }

    void lineBreak()
    {
        newLine();
        m_used = 0;
        m_spaced = false;
    }

    int count() const { return m_lines; }

private:
    void newLine()
    {
        ++m_lines;
        m_measure = m_turnover;
    }

    double m_measure;
    double m_turnover;
    double m_used = 0;
    bool m_spaced = false;
    int m_lines = 1;
};

char32_t scalarAt(QStringView text, qsizetype &i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ++i;
        return QChar::surrogateToUcs4(c, text[i]);
    }
    return c.unicode();
}

// The width of one word, built a character at a time. Emoji sequences are
// one emoji: a variation selector turns the symbol before it into an
// emoji, a joiner makes the emoji after it part of the one before, and
// skin tones and combining marks take no room of their own.
class Word
{
public:
    double width() const { return m_width; }

    void addAscii(char16_t unit) { take(asciiWidth(unit)); }

    void addScalar(char32_t scalar)
    {
        const auto c = UChar32(scalar);
        if (scalar == 0x200D) {
            m_joined = true;
        } else if (scalar == 0xFE0F) {
            if (m_last < emoji)
                m_width += emoji - m_last;
            m_last = emoji;
        } else if ((scalar >= 0x1F3FB && scalar <= 0x1F3FF) || scalar == 0xFE0E || u_getCombiningClass(c) > 0
            || u_charType(c) == U_NON_SPACING_MARK || u_charType(c) == U_ENCLOSING_MARK) {
            // Part of the character before.
        } else if (m_joined) {
            m_joined = false;
        } else {
            take(widthOf(c));
        }
    }

private:
    void take(double w)
    {
        m_joined = false;
        m_last = w;
        m_width += w;
    }

    static double widthOf(UChar32 c)
    {
        // A flag is two regional indicators.
        if (c >= 0x1F1E6 && c <= 0x1F1FF)
            return emoji / 2;
        // The book's faces have none of these: the emoji face draws them.
        if (c >= 0x2100 && u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC))
            return emoji;
        if (c == 0xA0)
            return space;
        const int eastAsian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
        if (eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH)
            return wide;
        return otherLetter;
    }

    double m_width = 0;
    double m_last = 0;
    bool m_joined = false;
};

// The words of a text with their widths, in order, to a callback; a line
// feed is reported as a negative width.
template<typename Place> void words(QStringView text, Place place)
{
    Word word;
    const auto end = [&] {
        if (word.width() > 0)
            place(word.width());
        word = Word();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == u' ' || unit == u'\t' || unit == u'\r') {
            end();
        } else if (unit == u'\n') {
            end();
            place(-1);
        } else if (unit < 0x80) {
            word.addAscii(unit);
        } else {
            word.addScalar(scalarAt(text, i));
        }
    }
    end();
}

// Whether a text takes more than limit bytes in UTF-8. A code unit takes
// one to three bytes, so most texts are settled by their length alone.
bool exceeds(QStringView text, int limit)
{
    if (text.size() * 3 <= limit)
        return false;
    if (text.size() > limit)
        return true;
    int bytes = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
        if (bytes > limit)
            return true;
    }
    return false;
}

// The marks of attachments as the book writes them: one per kind, in the
// order each kind first comes, "photo" or "2 photos".
QList<double> markWidths(const QStringList &media)
{
    QList<QString> kinds;
    QMap<QString, int> counts;
    for (const QString &kind : media) {
        if (!counts.contains(kind))
            kinds.append(kind);
        ++counts[kind];
    }
    QList<double> widths;
    for (const QString &kind : std::as_const(kinds)) {
        const int n = counts.value(kind);
        qsizetype letters = kind.size();
        if (n > 1)
            letters += QString::number(n).size() + 1 + (kind.endsWith(QLatin1String("audio")) ? 0 : 1);
        widths.append(double(letters) * markLetter + markFrame);
    }
    return widths;
}

// Places a message's text and the marks of its attachments, then what
// follows them (a time, or nothing); the last of them is held to what
// follows, and each mark to the word before it. Returns the lines.
int placed(Lines &lines, QStringView text, const QStringList &media, double after)
{
    // Each piece is placed one step late, when it is known whether another
    // is held to it.
    double pending = 0;
    const auto flush = [&] {
        if (pending > 0)
            lines.word(pending);
        pending = 0;
    };
    words(text, [&](double width) {
        flush();
        if (width < 0) {
            lines.lineBreak();
            return;
        }
        pending = width;
    });
    // Through a const list: a loop over a temporary one would detach it,
    // and detaching an empty list allocates, for every message.
    const QList<double> marks = markWidths(media);
    for (const double mark : marks)
        pending += mark + (pending > 0 ? space : 0);
    pending += after;
    flush();
    return lines.count();
}

} // namespace

namespace PrintedLines {

double nameWidth(QStringView name)
{
    double width = nameGap;
    for (const QChar c : name)
        width += c == u' ' ? space : c.isLowSurrogate() ? 0 : nameLetter;
    return width;
}

double screenNameWidth(QStringView name)
{
    // As the book makes it: the name in lower case, its words run
    // together; one without letters or digits stays as it is.
    double letters = 0;
    for (const QChar c : name) {
        if (c.isLetterOrNumber() || c == u'_')
            letters += boldLetter;
    }
    if (letters == 0) {
        for (const QChar c : name)
            letters += c == u' ' ? space : c.isLowSurrogate() ? 0 : boldLetter;
    }
    return letters + colon + space;
}

int ofMessage(QStringView text, const QStringList &media, Side side, std::optional<Opening> opening)
{
    if (text.isEmpty() && media.isEmpty())
        return 0;
    const int budget = shortBytes - attachmentBytes * int(media.size());
    const bool isShort = budget >= 0 && !exceeds(text, budget);
    const double measure = isShort && side == Side::Mine ? fullMeasure : messageMeasure;
    Lines lines(measure, measure - em);
    if (opening)
        lines.lead(opening->name);
    return placed(lines, text, media, opening ? timeWidth : 0);
}

int ofChatLine(QStringView text, const QStringList &media, double screenName)
{
    if (text.isEmpty() && media.isEmpty())
        return 0;
    Lines lines(fullMeasure, fullMeasure - chatColumn);
    lines.lead(chatColumn + screenName);
    return placed(lines, text, media, 0);
}

} // namespace PrintedLines
