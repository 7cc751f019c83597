// The symbols: every name the code asks for is shipped, and they are drawn
// in one colour as outlines with see-through marks.
#include "testsupport.h"
#include "ui/icons.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Where the string or character literal opening at i ends.
qsizetype closingQuote(const QString &text, qsizetype i)
{
    const QChar quote = text[i];
    for (++i; i < text.size() && text[i] != quote; i += text[i] == QLatin1Char('\\') ? 2 : 1) { }
    return i;
}

// A quote that opens a literal, not one that parts the digits of a number
// (100'000).
bool isQuote(const QString &text, qsizetype i)
{
    if (text[i] == QLatin1Char('"'))
        return true;
    const bool separator = i > 0 && i + 1 < text.size() && text[i - 1].isDigit() && text[i + 1].isDigit();
    return text[i] == QLatin1Char('\'') && !separator;
}

// The sources of src/, comments blanked so that a name in a sentence about
// the code isn't taken for one the code asks for.
QHash<QString, QString> sources()
{
    QHash<QString, QString> files;
    const QString src = TestSupport::sourceDir() + QStringLiteral("/src");
    QDirIterator it(
        src, { QStringLiteral("*.h"), QStringLiteral("*.cpp") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // A string may hold "//" (an address): strings are stepped over
        // whole, and only comments outside them are blanked.
        QString text = QString::fromUtf8(file.readAll());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (isQuote(text, i)) {
                i = closingQuote(text, i);
            } else if (text.mid(i, 2) == QLatin1String("//")) {
                for (; i < text.size() && text[i] != QLatin1Char('\n'); ++i)
                    text[i] = QLatin1Char(' ');
            } else if (text.mid(i, 2) == QLatin1String("/*")) {
                const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
                const qsizetype stop = end < 0 ? text.size() : end + 2;
                for (; i < stop; ++i)
                    text[i] = QLatin1Char(' ');
                --i;
            }
        }
        files.insert(QDir(src).relativeFilePath(file.fileName()), text);
    }
    return files;
}

// What stands between the bracket at open and its partner, or nothing
// when it has none.
QString enclosed(const QString &text, qsizetype open)
{
    const QChar opening = text[open];
    const QChar closing = opening == QLatin1Char('(') ? QLatin1Char(')') : QLatin1Char('}');
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        if (isQuote(text, i)) {
            i = closingQuote(text, i);
            continue;
        }
        if (text[i] == opening)
            ++depth;
        else if (text[i] == closing && --depth == 0)
            return text.mid(open + 1, i - open - 1);
    }
    return {};
}

// The parts of a list split at its own commas, not those of calls or
// braces inside it.
QStringList elements(const QString &list)
{
    QStringList parts;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QChar c = list[i];
        if (isQuote(list, i)) {
            i = closingQuote(list, i);
        } else if (c == QLatin1Char('(') || c == QLatin1Char('{') || c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char('}') || c == QLatin1Char(']')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            parts.append(list.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(list.mid(start));
    return parts;
}

// The strings in a piece of code that could name a symbol ("book.closed").
QStringList names(const QString &code)
{
    static const QRegularExpression literal(QStringLiteral(R"re("([a-z][a-z0-9]*(?:\.[a-z0-9]+)*)")re"));
    QStringList found;
    for (auto match = literal.globalMatch(code); match.hasNext();)
        found.append(match.next().captured(1));
    return found;
}

// An element that is nothing but one name, or a choice between two.
QStringList soleNames(const QString &element)
{
    static const QRegularExpression sole(QStringLiteral(
        R"re(^\s*(?:[\w.>!-]+\s*\?\s*)?(?:QStringLiteral|QLatin1String)?\(?"[^"]*"\)?(?:\s*:\s*(?:QStringLiteral|QLatin1String)?\(?"[^"]*"\)?)?\s*$)re"));
    return sole.match(element).hasMatch() ? names(element) : QStringList();
}

struct Taker
{
    QString function;
    int argument;
};

struct Record
{
    QString type;
    int field; // where the symbol is among the record's fields
    int fields;
};

// Every name the code hands to Icons, directly or through a function, a
// constructor or a record that passes its symbol on.
QMap<QString, QString> askedFor()
{
    const QHash<QString, QString> files = sources();
    QList<Taker> takers { { QStringLiteral("Icons::icon"), 0 }, { QStringLiteral("Icons::pixmap"), 0 },
        { QStringLiteral("Icons::file"), 0 }, { QStringLiteral("WizardLook::symbol"), 0 } };
    QList<Record> records;
    static const QRegularExpression declaration(QStringLiteral(R"((\w+)\s*\(([^;{}()]*)\))"));
    static const QRegularExpression record(QStringLiteral(R"(\bstruct\s+(\w+)\s*\{)"));
    static const QRegularExpression member(QStringLiteral(R"(^\s*[\w:<>, ]+?\s+(\w+)\s*(?:=[^;]*)?;\s*$)"));
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QString &text = file.value();
        // Icons' own functions are named above, with their namespace.
        const bool icons = file.key().startsWith(QLatin1String("ui/icons."));
        for (auto match = declaration.globalMatch(text); match.hasNext() && !icons;) {
            const QRegularExpressionMatch m = match.next();
            const QStringList parameters = elements(m.captured(2));
            for (int i = 0; i < parameters.size(); ++i) {
                if (parameters[i].contains(QRegularExpression(QStringLiteral(R"(QString\s*&\s*symbol\b)"))))
                    takers.append({ m.captured(1), i });
            }
        }
        for (auto match = record.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            int field = -1;
            int fields = 0;
            for (const QString &line : enclosed(text, m.capturedEnd() - 1).split(QLatin1Char('\n'))) {
                const QRegularExpressionMatch data = member.match(line);
                if (!data.hasMatch() || line.contains(QLatin1Char('('))
                    || line.contains(QLatin1String("enum")))
                    continue;
                if (data.captured(1) == QLatin1String("symbol"))
                    field = fields;
                ++fields;
            }
            if (field >= 0)
                records.append({ m.captured(1), field, fields });
        }
    }

    // A call by the function's own name, with its namespace where it has
    // one, or with the class or namespace it is called through.
    QList<QRegularExpression> calls;
    for (const Taker &taker : takers)
        calls.append(QRegularExpression(QStringLiteral(R"((?<![\w:.>])(?:\w+::)*%1\s*\()")
                                            .arg(QRegularExpression::escape(taker.function))));

    QMap<QString, QString> asked;
    auto note = [&](const QStringList &found, const QString &where) {
        for (const QString &name : found)
            asked.insert(name, where);
    };
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QString &text = file.value();
        if (file.key().startsWith(QLatin1String("ui/icons.")))
            continue;
        for (int t = 0; t < takers.size(); ++t) {
            for (auto match = calls[t].globalMatch(text); match.hasNext();) {
                const QRegularExpressionMatch m = match.next();
                const QStringList arguments = elements(enclosed(text, m.capturedEnd() - 1));
                if (takers[t].argument < arguments.size())
                    note(names(arguments[takers[t].argument]), file.key());
            }
        }
        static const QRegularExpression symbolFunction(
            QStringLiteral(R"(\b(?:\w+::)?symbol\w*\s*\([^;{)]*\)\s*(?:const\s*)?\{)"));
        for (auto match = symbolFunction.globalMatch(text); match.hasNext();) {
            const QString body = enclosed(text, match.next().capturedEnd() - 1);
            static const QRegularExpression returned(QStringLiteral(R"(\breturn\b([^;]*);)"));
            for (auto r = returned.globalMatch(body); r.hasNext();)
                note(names(r.next().captured(1)), file.key());
        }
        for (const Record &kind : records) {
            if (!text.contains(QRegularExpression(QStringLiteral(R"(\b%1\b)").arg(kind.type))))
                continue;
            for (qsizetype at = text.indexOf(QLatin1Char('{')); at >= 0;
                 at = text.indexOf(QLatin1Char('{'), at + 1)) {
                // A function's body is no record.
                qsizetype before = at - 1;
                while (before >= 0 && text[before].isSpace())
                    --before;
                if (before < 0 || text[before] == QLatin1Char(')')
                    || text.mid(before - 4, 5) == QLatin1String("const"))
                    continue;
                const QStringList parts = elements(enclosed(text, at));
                // A symbol with fields after it is followed by one of them.
                const int fewest = kind.field + 1 < kind.fields ? kind.field + 2 : kind.fields;
                if (parts.size() < fewest || parts.size() > kind.fields)
                    continue;
                // Two names side by side are a table of keys, not a record
                // whose symbol is followed by its words.
                if (parts.size() > kind.field + 1 && !soleNames(parts[kind.field + 1]).isEmpty())
                    continue;
                note(soleNames(parts[kind.field]), file.key());
            }
        }
    }
    return asked;
}

int opaque(const QImage &image, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128;
    return count;
}

} // namespace

TEST(Icons, EverySymbolTheCodeAsksForIsShipped)
{
    const QMap<QString, QString> asked = askedFor();
    // The scan finds the names handed over every way the code has: in a
    // call, through a record's field, returned by a step's symbol.
    for (const char *known : { "lock.shield", "chevron.right", "flame", "moon.zzz", "pawprint", "sparkles",
             "gift.fill", "laptopcomputer", "checkmark.circle.fill", "exclamationmark.triangle" })
        EXPECT_TRUE(asked.contains(QString::fromLatin1(known))) << known;
    for (auto name = asked.begin(); name != asked.end(); ++name)
        EXPECT_FALSE(Icons::file(name.key()).isEmpty())
            << name.key().toStdString() << " (asked for in src/" << name.value().toStdString() << ")";
}

TEST(Icons, EverySymbolListedIsAskedFor)
{
    // A line nobody asks for is a name the code stopped using, or one the
    // scan above can't see the code hand over; either wants a look.
    const QMap<QString, QString> asked = askedFor();
    QFile list(TestSupport::sourceDir() + QStringLiteral("/icons/symbols.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    for (const QByteArray &line : list.readAll().split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QString symbol = QString::fromUtf8(line.simplified().split(' ').first());
        EXPECT_TRUE(asked.contains(symbol)) << symbol.toStdString();
    }
}

TEST(Icons, EverySymbolListedIsShipped)
{
    QFile list(TestSupport::sourceDir() + QStringLiteral("/icons/symbols.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    int symbols = 0;
    for (const QByteArray &line : list.readAll().split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QString symbol = QString::fromUtf8(line.simplified().split(' ').first());
        EXPECT_FALSE(Icons::file(symbol).isEmpty()) << symbol.toStdString();
        ++symbols;
    }
    EXPECT_GT(symbols, 20);
    EXPECT_TRUE(Icons::file(QStringLiteral("no.such.symbol")).isEmpty());
    EXPECT_FALSE(Icons::pixmap(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
}

TEST(Icons, SymbolsAreDrawnInTheColourAsked)
{
    const QImage image = Icons::pixmap(QStringLiteral("lock.shield"), 32, QColor(255, 0, 0), 1).toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    int red = 0;
    int other = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            (c.red() > 200 && c.green() < 40 && c.blue() < 40 ? red : other)++;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(other, 0);
}

TEST(Icons, TheMarkOnAFilledSymbolStaysSeeThrough)
{
    // The bang of the warning triangle is a hole in it, not painted over
    // in the triangle's own colour.
    const QImage warning
        = Icons::pixmap(QStringLiteral("exclamationmark.triangle"), 44, Qt::red, 1).toImage();
    EXPECT_LT(qAlpha(warning.pixel(22, 19)), 40);
    EXPECT_GT(qAlpha(warning.pixel(22, 34)), 200);
    EXPECT_GT(qAlpha(warning.pixel(14, 34)), 200);
    // Likewise the tick in the disc.
    const QImage done = Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 44, Qt::red, 1).toImage();
    EXPECT_GT(opaque(done, QRect(4, 16, 6, 12)), 40);
    int holes = 0;
    for (int x = 10; x < 34; ++x)
        holes += qAlpha(done.pixel(x, 22)) < 60;
    EXPECT_GT(holes, 0);
}

TEST(Icons, FacesAreOutlinesNotDiscs)
{
    // A face tinted whole would be a solid disc: its middle must stay open.
    for (const QString &face : { QStringLiteral("face.smiling"), QStringLiteral("face.smiling.inverse") }) {
        const QImage image = Icons::pixmap(face, 44, Qt::black, 1).toImage();
        const int inside = opaque(image, QRect(16, 16, 12, 12));
        const int whole = opaque(image, image.rect());
        EXPECT_LT(inside, 144 / 4) << face.toStdString();
        EXPECT_LT(whole, 44 * 44 / 2) << face.toStdString();
    }
}
