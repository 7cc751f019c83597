#include "typesetcache.h"

#include "clock.h"
#include "model/helpers.h"
#include "model/json.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <limits>

namespace TypesetCache {

namespace {

constexpr int keep = 12;

QString cacheFolder(const QString &folder)
{
    return folder + QStringLiteral("/typesets");
}

// Every entry below root, files, folders and hidden ones alike.
QStringList entriesBelow(const QString &root)
{
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(QFileInfo(it.next()).absoluteFilePath());
    // UTF-8 byte order is code point order.
    std::sort(paths.begin(), paths.end(),
        [](const QString &a, const QString &b) { return a.toUtf8() < b.toUtf8(); });
    return paths;
}

void feedEntry(QCryptographicHash &hash, const QString &path)
{
    hash.addData(path.toUtf8());
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
        hash.addData(&file);
}

void prune(const QString &typesets)
{
    QFileInfoList pdfs;
    const QFileInfoList all = QDir(typesets).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : all) {
        if (entry.suffix() == QLatin1String("pdf"))
            pdfs.append(entry);
    }
    if (pdfs.size() <= keep)
        return;
    // An unreadable date sorts as the oldest.
    const auto date = [](const QFileInfo &entry) {
        const QDateTime modified = entry.lastModified();
        return modified.isValid() ? modified.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    };
    std::stable_sort(
        pdfs.begin(), pdfs.end(), [&](const QFileInfo &a, const QFileInfo &b) { return date(a) > date(b); });
    for (qsizetype i = keep; i < pdfs.size(); ++i) {
        QFile::remove(pdfs[i].absoluteFilePath());
        QFile::remove(
            pdfs[i].absolutePath() + QLatin1Char('/') + pdfs[i].completeBaseName() + QStringLiteral(".json"));
    }
}

void touch(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(Clock::current().now(), QFileDevice::FileModificationTime);
}

} // namespace

QString digestOf(const QStringList &roots, const std::optional<QString> &emojiFolder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &root : roots) {
        for (const QString &path : entriesBelow(root))
            feedEntry(hash, path);
    }
    hash.addData(emojiFolder ? emojiFolder->toUtf8() : QByteArrayLiteral("noto"));
    return QString::fromLatin1(hash.result().toHex());
}

QString toolkit()
{
    // Thread-safe one-time initialisation.
    static const QString digest = digestOf(
        { Helpers::resources() + QStringLiteral("/templates"), Helpers::fonts() }, Helpers::appleEmoji());
    return digest;
}

QString keyOf(const QByteArray &bookBytes, const QString &style)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(bookBytes);
    hash.addData((style + toolkit()).toUtf8());
    return QString::fromLatin1(hash.result().left(16).toHex());
}

std::optional<QString> key(const QString &book, const QString &style)
{
    QFile file(book);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return keyOf(file.readAll(), style);
}

QJsonObject toStored(const Layout &layout)
{
    QJsonObject days;
    for (auto it = layout.days.cbegin(); it != layout.days.cend(); ++it)
        days.insert(it.key(), QJsonArray { it->printed, it->index });
    QJsonArray pins;
    for (const Layout::PinResult &pin : layout.pins)
        pins.append(pin.toJson());
    QJsonArray chapters;
    for (int page : layout.chapterPages)
        chapters.append(page);
    return { { QStringLiteral("days"), days }, { QStringLiteral("pins"), pins },
        { QStringLiteral("pageCount"), layout.pageCount }, { QStringLiteral("chapterPages"), chapters } };
}

std::optional<Layout> fromStored(const QByteArray &json)
{
    try {
        const QJsonObject stored = Json::parseObject(json);
        Layout layout;
        const QJsonObject days = Json::requiredObject(stored, "days");
        for (auto it = days.begin(); it != days.end(); ++it) {
            const QJsonArray pair = Json::toArray(*it);
            QList<int> numbers;
            for (const QJsonValue &number : pair)
                numbers.append(Json::toInt(number));
            // A pair of another length is left out; the rest still counts.
            if (numbers.size() == 2)
                layout.days.insert(it.key(), Layout::Day { numbers[0], numbers[1] });
        }
        layout.pins = Json::mapArray(Json::requiredArray(stored, "pins"),
            [](const QJsonValue &pin) { return Layout::PinResult::fromJson(Json::toObject(pin)); });
        layout.pageCount = Json::requiredInt(stored, "pageCount");
        layout.chapterPages = Json::mapArray(Json::requiredArray(stored, "chapterPages"),
            [](const QJsonValue &page) { return Json::toInt(page); });
        return layout;
    } catch (const JsonError &) {
        return std::nullopt;
    }
}

std::optional<Entry> load(const QString &key, const QString &folder)
{
    const QString dir = cacheFolder(folder);
    const QString pdf = dir + QLatin1Char('/') + key + QStringLiteral(".pdf");
    if (!QFileInfo::exists(pdf))
        return std::nullopt;
    QFile record(dir + QLatin1Char('/') + key + QStringLiteral(".json"));
    if (!record.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<Layout> layout = fromStored(record.readAll());
    if (!layout)
        return std::nullopt;
    // Using an entry keeps it among the newest when the cache is pruned.
    touch(pdf);
    return Entry { pdf, *layout };
}

std::optional<QString> store(
    const QString &key, const QString &pdf, const Layout &layout, const QString &folder)
{
    const QString dir = cacheFolder(folder);
    QDir().mkpath(dir);
    const QString dest = dir + QLatin1Char('/') + key + QStringLiteral(".pdf");
    // rename(2) puts the new PDF in the place of one stored before in a
    // single step; removing that one first would lose it to a crash in
    // between. It never copies, so a PDF on another file system stays put.
    if (::rename(QFile::encodeName(pdf).constData(), QFile::encodeName(dest).constData()) != 0) {
        QFile::remove(dest);
        return std::nullopt;
    }
    QSaveFile record(dir + QLatin1Char('/') + key + QStringLiteral(".json"));
    if (record.open(QIODevice::WriteOnly)) {
        record.write(QJsonDocument(toStored(layout)).toJson(QJsonDocument::Compact));
        record.commit();
    }
    prune(dir);
    return dest;
}

} // namespace TypesetCache
