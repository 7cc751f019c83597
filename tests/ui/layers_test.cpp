// The window reads top-down: app above flow, flow above the three screens
// (viewer, wizard, wrapped), those above the kit (ui), the kit above the
// core libraries. These tests read every include of src/ and fail on one
// that runs upward or sideways.
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The folders each folder of src/ may include from, besides its own.
const QHash<QString, QSet<QString>> &allowed()
{
    static const QSet<QString> core { "model", "insights", "project", "service" };
    static const QSet<QString> kit = core + QSet<QString> { "ui" };
    static const QSet<QString> screens = kit;
    static const QSet<QString> flow = kit + QSet<QString> { "viewer", "wizard", "wrapped" };
    static const QSet<QString> app = flow + QSet<QString> { "flow" };
    static const QHash<QString, QSet<QString>> rules {
        { "model", { "insights" } },
        { "insights", { "model" } },
        { "project", core },
        { "service", core },
        { "ui", kit },
        { "viewer", screens },
        { "wizard", screens },
        { "wrapped", screens },
        { "flow", flow },
        { "app", app },
    };
    return rules;
}

struct Include
{
    QString file;
    int line;
    QString target;
};

// Every `#include "..."` and `#include <...>` of the sources under src/.
QList<Include> includes()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*#\s*include\s*["<]([^">]+)[">])"));
    const QString src = TestSupport::sourceDir() + QStringLiteral("/src");
    QList<Include> found;
    QDirIterator it(
        src, { QStringLiteral("*.h"), QStringLiteral("*.cpp") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString relative = QDir(src).relativeFilePath(file.fileName());
        int number = 0;
        for (const QByteArray &line : file.readAll().split('\n')) {
            ++number;
            const auto match = pattern.match(QString::fromUtf8(line));
            if (match.hasMatch())
                found.append({ relative, number, match.captured(1) });
        }
    }
    return found;
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// What an include names, as a path below src/. A quoted include is looked
// for beside its file first, so "../wizard/x.h" written in flow/ reaches
// wizard/x.h, and "./x.h" the file's own folder.
QString resolved(const Include &include)
{
    const QString &target = include.target;
    if (!target.startsWith(QLatin1String("./")) && !target.startsWith(QLatin1String("../")))
        return QDir::cleanPath(target);
    const QString beside = QDir::cleanPath(QFileInfo(include.file).path() + QLatin1Char('/') + target);
    // Above src/ there is no layer to judge.
    return beside.startsWith(QLatin1String("../")) ? QString() : beside;
}

// Why an include runs against the layers; nothing when it keeps to them.
std::optional<QString> wrong(const Include &include)
{
    const QString from = folderOf(include.file);
    const QString target = resolved(include);
    const QString to = folderOf(target);
    if (to.isEmpty() || to == from || !allowed().contains(to))
        return std::nullopt; // the folder's own files, Qt and the system
    const QString where
        = QStringLiteral("%1:%2 includes %3").arg(include.file).arg(include.line).arg(include.target);
    if (!allowed().contains(from))
        return where + QStringLiteral(" from a folder of no layer");
    if (!allowed()[from].contains(to))
        return where;
    return std::nullopt;
}

} // namespace

TEST(Layers, NoIncludeRunsUpwardOrSideways)
{
    const QList<Include> all = includes();
    ASSERT_GT(all.size(), 500);
    for (const Include &include : all) {
        const std::optional<QString> problem = wrong(include);
        EXPECT_FALSE(problem) << problem->toStdString();
    }
}

// Written with "../" or "./", an include is judged by the file it reaches.
TEST(Layers, AnIncludeIsJudgedByWhereItLeads)
{
    const auto judged = [](const char *file, const char *target) {
        return !wrong({ QString::fromLatin1(file), 1, QString::fromLatin1(target) }).has_value();
    };
    // Upward and sideways, however written.
    EXPECT_FALSE(judged("ui/card.cpp", "../wizard/wizardview.h"));
    EXPECT_FALSE(judged("ui/card.cpp", "./../wizard/wizardview.h"));
    EXPECT_FALSE(judged("viewer/bookview.cpp", "../wizard/wizardview.h"));
    EXPECT_FALSE(judged("wrapped/wrappedview.cpp", "../flow/bookflow.h"));
    EXPECT_FALSE(judged("flow/bookflow.cpp", "../app/contentview.h"));
    EXPECT_FALSE(judged("model/library.cpp", "../ui/style.h"));
    EXPECT_FALSE(judged("flow/bookflow.cpp", "app/contentview.h"));
    EXPECT_FALSE(judged("flow/bookflow.cpp", "../flow/../app/contentview.h"));
    EXPECT_FALSE(judged("flow/bookflow.cpp", "wizard/../app/contentview.h"));
    // Downward, or the file's own folder.
    EXPECT_TRUE(judged("flow/bookflow.cpp", "../wizard/wizardview.h"));
    EXPECT_TRUE(judged("flow/bookflow.cpp", "wizard/wizardview.h"));
    EXPECT_TRUE(judged("viewer/bookview.cpp", "./bookpreview.h"));
    EXPECT_TRUE(judged("viewer/bookview.cpp", "../viewer/bookpreview.h"));
    EXPECT_TRUE(judged("ui/card.cpp", "../model/helpers.h"));
    EXPECT_TRUE(judged("app/app.cpp", "QWidget"));
}

TEST(Layers, TheCoreAndTheToolsLinkNoWidgets)
{
    // Qt's widget classes, by the header names the widgets module ships.
    QSet<QString> widgets;
    for (const QString &dir : { QStringLiteral("/usr/include/x86_64-linux-gnu/qt6/QtWidgets"),
             QStringLiteral("/usr/include/qt6/QtWidgets") })
        for (const QString &name : QDir(dir).entryList(QDir::Files))
            widgets.insert(name);
    ASSERT_TRUE(widgets.contains(QStringLiteral("QWidget")));
    widgets.insert(QStringLiteral("QtWidgets"));
    for (const Include &include : includes()) {
        const QString from = folderOf(include.file);
        if (from != "model" && from != "insights" && from != "project" && from != "service")
            continue;
        const QString header = include.target.section(QLatin1Char('/'), -1);
        EXPECT_FALSE(widgets.contains(header) || include.target.startsWith(QStringLiteral("QtWidgets/")))
            << include.file.toStdString() << ":" << include.line << " includes "
            << include.target.toStdString();
    }
}
