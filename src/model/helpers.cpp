#include "helpers.h"

#include "json.h"
#include "layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Helpers {

Failure::Failure(QString tool, int status, QString message)
    : std::runtime_error(
        QStringLiteral("%1 failed (%2): %3").arg(tool).arg(status).arg(message).toStdString())
    , m_tool(std::move(tool))
    , m_status(status)
    , m_message(std::move(message))
{ }

QString Failure::description() const
{
    return QString::fromUtf8(what());
}

LaunchError::LaunchError(const QString &sentence)
    : std::runtime_error(sentence.toStdString())
{ }

namespace {

QString &packageRootOverride()
{
    static QString root;
    return root;
}

QString &emojiFontOverride()
{
    static QString path;
    return path;
}

} // namespace

void setPackageRoot(const QString &root)
{
    packageRootOverride() = root;
}

QString packageRoot()
{
    static const QString root = [] {
        if (!packageRootOverride().isEmpty())
            return QDir::cleanPath(packageRootOverride());
        return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    }();
    return root;
}

QString core()
{
    static const QString path = packageRoot() + QStringLiteral("/libexec/quorvel/brimlow-core");
    return path;
}

QString typst()
{
    static const QString path = packageRoot() + QStringLiteral("/libexec/quorvel/typst");
    return path;
}

QString resources()
{
    static const QString path = packageRoot() + QStringLiteral("/share/quorvel");
    return path;
}

QString fonts()
{
    static const QString path = resources() + QStringLiteral("/fonts");
    return path;
}

QString appName()
{
    static const QString name = [] {
        const QString compiled = QStringLiteral(QUORVEL_APP_NAME);
        return compiled.isEmpty() ? QStringLiteral("Quorvel") : compiled;
    }();
    return name;
}

QString support()
{
    static const QString path = [] {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty() || !QDir::isAbsolutePath(data))
            data = QDir::homePath() + QStringLiteral("/.local/share");
        return data + QLatin1Char('/') + appName();
    }();
    return path;
}

QString databaseFor(const QProcessEnvironment &environment)
{
    if (environment.contains(QStringLiteral("QUORVEL_DB")))
        return environment.value(QStringLiteral("QUORVEL_DB"));
    const QString home = environment.value(QStringLiteral("HOME"), QDir::homePath());
    return home + QStringLiteral("/Library/Messages/chat.db");
}

QStringList demoBooksFor(const QProcessEnvironment &environment)
{
    return environment.value(QStringLiteral("QUORVEL_DEMO")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QString database()
{
    static const QString path = databaseFor(QProcessEnvironment::systemEnvironment());
    return path;
}

QStringList demoBooks()
{
    static const QStringList books = demoBooksFor(QProcessEnvironment::systemEnvironment());
    return books;
}

void setEmojiFontPath(const QString &path)
{
    emojiFontOverride() = path;
}

std::optional<QString> prepareEmojiFolder(const QString &font, const QString &supportFolder)
{
    if (!QFileInfo(font).isFile())
        return std::nullopt;
    const QString dir = supportFolder + QStringLiteral("/SystemFonts");
    QDir().mkpath(dir);
    const QString link = dir + QLatin1Char('/') + QFileInfo(font).fileName();
    // An existing link is left as it is, wherever it points.
    if (QFileInfo(link).symLinkTarget().isEmpty() && !QFileInfo(link).isSymLink())
        QFile::link(font, link);
    return dir;
}

std::optional<QString> appleEmoji()
{
    static const std::optional<QString> folder = prepareEmojiFolder(emojiFontOverride().isEmpty()
            ? QStringLiteral("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf")
            : emojiFontOverride(),
        support());
    return folder;
}

QString templateFile(const QString &style)
{
    return resources() + QStringLiteral("/templates/") + style + QStringLiteral("/book.typ");
}

std::optional<DemoTitle> DemoTitle::fromJson(const QByteArray &bytes)
{
    try {
        const QJsonObject root = Json::parseObject(bytes);
        DemoTitle title;
        for (const QJsonValue &value : Json::requiredArray(root, u"people")) {
            const QJsonObject person = Json::toObject(value);
            title.people.append({ Json::requiredString(person, u"name"), Json::requiredBool(person, u"me") });
        }
        return title;
    } catch (const JsonError &) {
        return std::nullopt;
    }
}

QProcessEnvironment coreEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("GLIBC_TUNABLES")))
        environment.insert(QStringLiteral("GLIBC_TUNABLES"), QStringLiteral("glibc.malloc.hugetlb=1"));
    return environment;
}

} // namespace Helpers
