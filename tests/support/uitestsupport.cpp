#include "uitestsupport.h"

#include "ui/style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cmath>

namespace TestSupport {

FakeDesktop &desktop()
{
    static FakeDesktop fake;
    return fake;
}

namespace {
bool privateKeyring = false;
}

bool onPrivateKeyring()
{
    return privateKeyring;
}

void setOnPrivateKeyring(bool onIt)
{
    privateKeyring = onIt;
}

QString saveScreen(QWidget *widget, const QString &name)
{
    const QString folder = QStringLiteral(QUORVEL_TEST_SCREENS);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    // What the user sees once queued layouts and shows have run: a row
    // shown inside a section asks its parents to lay out in turn, a round
    // for each level.
    for (int round = 0; round < 4; ++round)
        QApplication::processEvents();
    widget->grab().save(path);
    return path;
}

void inBothAppearances(const std::function<void(const QString &suffix)> &look)
{
    const QPalette before = QApplication::palette();
    for (const bool dark : { false, true }) {
        Style::usePalette(dark ? Style::darkPalette() : Style::lightPalette());
        look(dark ? QStringLiteral("-dark") : QString());
    }
    Style::usePalette(before);
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

} // namespace TestSupport
