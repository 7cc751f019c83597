// The typst command lines: the arguments every run shares, compiling a book
// to PDF, and the layout query that says where days, pins and chapters fell.
#include "helpers.h"
#include "layout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <stdexcept>

namespace Helpers {

const char *const layoutExpression
    = "(days: query(<brimlow-day>).map(d => (d.value.iso, counter(page).at(d.location()).first(), "
      "d.location().page())), pins: query(<brimlow-pin>).map(p => p.value), chapters: "
      "query(heading.where(level: 1)).map(h => counter(page).at(h.location()).first()))";

QStringList typstArguments(const QString &book, const QString &style)
{
    Q_UNUSED(style)
    QStringList arguments { QStringLiteral("--root"), QStringLiteral("/"), QStringLiteral("--font-path"),
        fonts(), QStringLiteral("--ignore-system-fonts"), QStringLiteral("--input"),
        QStringLiteral("book=") + book };
    if (const auto emoji = appleEmoji())
        arguments << QStringLiteral("--font-path") << *emoji;
    return arguments;
}

QCoro::Task<void> typeset(QString book, QString style, QString to)
{
    QStringList arguments { QStringLiteral("compile") };
    arguments += typstArguments(book, style);
    arguments << templateFile(style) << to;
    co_await run(typst(), arguments);
}

namespace {

[[noreturn]] void badAnswer(const QString &what)
{
    throw std::runtime_error(QStringLiteral("The layout answer can't be read: %1.").arg(what).toStdString());
}

// A cell is an integer or a text; anything else spoils the whole answer.
enum class CellKind { Number, Text };

CellKind cellKind(const QJsonValue &cell)
{
    if (cell.isDouble()) {
        const double value = cell.toDouble();
        if (value == static_cast<double>(static_cast<qint64>(value)))
            return CellKind::Number;
        badAnswer(QStringLiteral("a number in the answer is not whole"));
    }
    if (cell.isString())
        return CellKind::Text;
    badAnswer(QStringLiteral("a day cell is neither a number nor a text"));
}

QJsonArray requiredArray(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isArray())
        badAnswer(QStringLiteral("\"%1\" is missing or not a list").arg(QLatin1String(key)));
    return value.toArray();
}

} // namespace

Layout layoutFromAnswer(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        badAnswer(error.errorString());
    if (!document.isObject())
        badAnswer(QStringLiteral("it is not an object"));
    const QJsonObject raw = document.object();

    // Decode everything first: a bad cell anywhere fails the whole answer.
    const QJsonArray rows = requiredArray(raw, "days");
    for (const QJsonValue &row : rows) {
        if (!row.isArray())
            badAnswer(QStringLiteral("a day row is not a list"));
        for (const QJsonValue &cell : row.toArray())
            cellKind(cell);
    }
    QList<Layout::PinResult> pins;
    for (const QJsonValue &pin : requiredArray(raw, "pins")) {
        if (!pin.isObject())
            badAnswer(QStringLiteral("a pin is not an object"));
        try {
            pins.append(Layout::PinResult::fromJson(pin.toObject()));
        } catch (const std::exception &e) {
            badAnswer(QString::fromUtf8(e.what()));
        }
    }
    QList<int> chapters;
    for (const QJsonValue &chapter : requiredArray(raw, "chapters")) {
        if (cellKind(chapter) != CellKind::Number)
            badAnswer(QStringLiteral("a chapter page is not a number"));
        chapters.append(chapter.toInt());
    }

    Layout layout;
    for (const QJsonValue &value : rows) {
        const QJsonArray row = value.toArray();
        if (row.size() != 3 || cellKind(row[0]) != CellKind::Text || cellKind(row[1]) != CellKind::Number
            || cellKind(row[2]) != CellKind::Number)
            continue;
        const QString day = row[0].toString();
        // A day that runs over several pages keeps the first.
        if (layout.days.contains(day))
            continue;
        layout.days.insert(day, Layout::Day { row[1].toInt(), row[2].toInt() - 1 });
    }
    layout.pins = pins;
    layout.pageCount = 0;
    layout.chapterPages = chapters;
    return layout;
}

QCoro::Task<Layout> layout(QString book, QString style)
{
    QStringList arguments { QStringLiteral("eval") };
    arguments += typstArguments(book, style);
    arguments << QString::fromLatin1(layoutExpression) << QStringLiteral("--in") << templateFile(style);
    const QByteArray answer = co_await run(typst(), arguments);
    co_return layoutFromAnswer(answer);
}

} // namespace Helpers
