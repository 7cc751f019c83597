// The window reads top-down: app above flow, flow above the three screens
// (viewer, wizard, wrapped), those above the kit (ui), the kit above the
// core libraries. These tests read every include of src/ and fail on one
// that runs upward or sideways.
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

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

} // namespace

TEST(Layers, NoIncludeRunsUpwardOrSideways)
{
    const QList<Include> all = includes();
    ASSERT_GT(all.size(), 500);
    for (const Include &include : all) {
        const QString from = folderOf(include.file);
        const QString to = folderOf(include.target);
        if (to.isEmpty() || to == from || !allowed().contains(to))
            continue; // the folder's own files, Qt and the system
        ASSERT_TRUE(allowed().contains(from)) << include.file.toStdString();
        EXPECT_TRUE(allowed()[from].contains(to)) << include.file.toStdString() << ":" << include.line
                                                  << " includes " << include.target.toStdString();
    }
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
