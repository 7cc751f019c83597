#include "uitestsupport.h"

#include "model/helpers.h"
#include "ui/accessibility.h"
#include "ui/appstyle.h"
#include "ui/desktop.h"
#include "ui/style.h"
#include "wizard/bookfonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QProxyStyle>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace TestSupport {

FakeDesktop &desktop()
{
    static FakeDesktop fake;
    return fake;
}

namespace {
bool privateKeyring = false;
bool bareBus = false;
} // namespace

bool onPrivateKeyring()
{
    return privateKeyring;
}

void setOnPrivateKeyring(bool onIt)
{
    privateKeyring = onIt;
}

void PrivateKeyringRequired::SetUp()
{
    if (onPrivateKeyring())
        return;
    std::fprintf(stderr,
        "These tests use a keyring: run them through tests/support/with-keyring.sh, which gives them a "
        "private one.\n");
    std::exit(2);
}

bool onBareBus()
{
    return bareBus;
}

void setOnBareBus(bool onIt)
{
    bareBus = onIt;
}

void inBothAppearances(const std::function<void(const QString &appearance)> &check)
{
    const QPalette before = QApplication::palette();
    for (const bool dark : { false, true }) {
        Style::usePalette(dark ? Style::darkPalette() : Style::lightPalette());
        check(dark ? QStringLiteral("dark") : QStringLiteral("light"));
    }
    Style::usePalette(before);
}

namespace {

class LayoutStyle : public QProxyStyle
{
public:
    explicit LayoutStyle(int layout)
        : QProxyStyle(new AppStyle)
        , m_layout(layout)
    { }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *answer) const override
    {
        if (hint == SH_DialogButtonLayout)
            return m_layout;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }

private:
    int m_layout;
};

} // namespace

DialogButtonLayout::DialogButtonLayout(int layout)
    : m_palette(QApplication::palette())
{
    QApplication::setStyle(new LayoutStyle(layout));
    Style::usePalette(m_palette);
}

DialogButtonLayout::~DialogButtonLayout()
{
    QApplication::setStyle(new AppStyle);
    Style::usePalette(m_palette);
}

double contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &color) {
        auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF())
            + 0.0722 * channel(color.blueF());
    };
    const double one = luminance(a);
    const double two = luminance(b);
    return (std::max(one, two) + 0.05) / (std::min(one, two) + 0.05);
}

int colorDistance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

QColor inkOf(QWidget *widget)
{
    QImage image(widget->size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    const QColor ground = widget->palette().color(QPalette::Window);
    image.fill(ground);
    widget->render(&image, {}, {}, QWidget::DrawChildren);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (colorDistance(QColor(pixel), ground) > 90)
                ++counts[pixel];
        }
    }
    QRgb most = ground.rgb();
    int seen = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > seen) {
            most = it.key();
            seen = it.value();
        }
    }
    return QColor(most);
}

int columnDistance(QWidget *widget, int x, const QColor &color)
{
    const QImage drawn = widget->grab().toImage();
    const int column = int(x * drawn.devicePixelRatio());
    int most = 0;
    for (int y = 0; y < drawn.height(); ++y)
        most = std::max(most, colorDistance(drawn.pixelColor(column, y), color));
    return most;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

bool activate(QWidget *window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

namespace {

QString textOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *box = qobject_cast<QGroupBox *>(widget))
        return box->title();
    return {};
}

} // namespace

QWidget *findText(QWidget *root, const QString &text)
{
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(root) && textOf(widget) == text)
            return widget;
    }
    return nullptr;
}

QStringList visibleTexts(QWidget *root)
{
    QStringList texts;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(root))
            continue;
        const QString text = textOf(widget);
        if (!text.isEmpty())
            texts.append(text);
    }
    return texts;
}

namespace {

// Every test starts with nothing asked of the desktop, whatever ran before
// it in the same process (ctest runs each test alone; a person running a
// whole binary does not).
class FreshDesktop : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { TestSupport::desktop().reset(); }
};

} // namespace

int runScreenTests(int argc, char **argv, const QByteArray &platform)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quorvel-test-home-XXXXXX"));
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    qputenv("XDG_DATA_DIRS", root + "/.local/share-system");
    qputenv("XDG_RUNTIME_DIR", root + "/.runtime");
    QDir().mkpath(home.path() + QStringLiteral("/.runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/.runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QT_QPA_PLATFORM", platform);
    // with-keyring.sh names the private keyring it started; the switches go
    // below, so remember whether this is it.
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    setOnPrivateKeyring(!bus.isEmpty() && qgetenv("QUORVEL_PRIVATE_KEYRING") == bus);
    setOnBareBus(!bus.isEmpty() && qgetenv("QUORVEL_BARE_BUS") == bus);
    // Every development and test switch of the app is off unless a test
    // sets it.
    for (const QString &name : QProcessEnvironment::systemEnvironment().keys()) {
        if (name.startsWith(QLatin1String("QUORVEL_")))
            qunsetenv(name.toUtf8().constData());
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    QApplication app(argc, argv);
    Helpers::setPackageRoot(stage());
    BookFonts::registerFonts();
    Style::apply();
    Accessibility::install();
    Desktop::setInstance(&desktop());

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshDesktop);
    return runAllTests(home.path());
}

QList<QWidget *> tabStops(int most)
{
    QList<QWidget *> stops;
    for (int i = 0; i < most; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || (!stops.isEmpty() && focus == stops.first()))
            break;
        stops.append(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return stops;
}

} // namespace TestSupport
