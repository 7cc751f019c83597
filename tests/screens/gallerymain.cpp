// `make screens`: every scene of tests/screens, in both appearances at the
// window's three sizes, written into build/screens for a person to look at.
// It runs as the screen tests run, but on an offscreen screen as large as a
// desktop's, so that popovers and menus open where they would and are not
// pushed back inside the offscreen platform's small default screen.
#include "uitestsupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// The offscreen platform says, for every popup, what it can't do (raise,
// grab the keyboard); nothing here needs it, and the run reads better
// without hundreds of those lines.
QtMessageHandler standard = nullptr;

void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        standard(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    standard = qInstallMessageHandler(quietPlatform);
    QTemporaryDir settings;
    const QString file = settings.filePath(QStringLiteral("screen.json"));
    QFile json(file);
    if (!json.open(QIODevice::WriteOnly))
        return 1;
    json.write(R"({"windowFrameMargins": false, "screens": [{"name": "desktop", "x": 0, "y": 0,
        "width": 2560, "height": 1600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    json.close();
    return TestSupport::runScreenTests(argc, argv, "offscreen:configfile=" + QFile::encodeName(file));
}
