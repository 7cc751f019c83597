#pragma once

#include "fakedesktop.h"
#include "testsupport.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable failures: gtest prints a QString as its characters, not its bytes.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace TestSupport {

// The whole run of a binary of screen tests: widgets for real on the Qt
// platform named (the offscreen one, maybe with settings), in a fixed
// locale and look, with a private home, the staged tree, and a recording
// desktop so no test opens a browser or a file manager. Returns the status
// to exit with.
int runScreenTests(int argc, char **argv, const QByteArray &platform);

// The desktop every screen test runs against (installed by the test main).
FakeDesktop &desktop();

// Whether the test runs on the private keyring of with-keyring.sh, so the
// keychain can be used without touching the user's.
bool onPrivateKeyring();
void setOnPrivateKeyring(bool onIt);
// Ends the binary, saying why, unless it runs on that private keyring: its
// tests keep keys, which must never go to the user's own keyring.
class PrivateKeyringRequired : public ::testing::Environment
{
public:
    void SetUp() override;
};
// Whether the test runs on the bare session bus of without-keyring.sh, on
// which nothing answers for the Secret Service.
bool onBareBus();
void setOnBareBus(bool onIt);

// Runs check once in the light appearance and once in the dark one, with
// the palette of each, and restores the palette after; appearance is
// "light" or "dark", for naming what failed.
void inBothAppearances(const std::function<void(const QString &appearance)> &check);

// While it lives, the app's style lays out the buttons of dialogs as a
// desktop of that layout (a QDialogButtonBox::ButtonLayout) does; then the
// app's own style again, with the palette that was in use.
class DialogButtonLayout
{
public:
    explicit DialogButtonLayout(int layout);
    ~DialogButtonLayout();
    DialogButtonLayout(const DialogButtonLayout &) = delete;
    DialogButtonLayout &operator=(const DialogButtonLayout &) = delete;

private:
    QPalette m_palette;
};

// The contrast of two opaque colours, from 1 to 21, as accessibility
// guides measure it (text wants 4.5).
double contrast(const QColor &a, const QColor &b);
// How far apart two colours are: their channels' differences added up.
int colorDistance(const QColor &a, const QColor &b);
// The colour a widget draws its marks in, as the eye takes it in: the most
// common colour of its drawn pixels that stand out from the ground it is
// drawn on (the window's colour in the palette in use).
QColor inkOf(QWidget *widget);

// The most that a column of what widget draws (x from its left edge)
// differs from color, as colorDistance counts it.
int columnDistance(QWidget *widget, int x, const QColor &color);

// Processes events until condition holds or timeoutMs pass; true when it
// held. For waiting on the real tools and typst in screen tests. The bound
// only says when to give up: a passing test never waits it out, and a
// loaded CI machine runs typst several times slower than a desk.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 120000);

// Makes window the active one, as a click on it does, and waits for the
// platform to say so: keys go to the focus only in an active window. True
// when it became active.
bool activate(QWidget *window);

// The first widget below root, visible with it, whose text (a label's, a
// button's, a group's title) is exactly text; nullptr when there is none.
QWidget *findText(QWidget *root, const QString &text);
// Every visible text below root, in widget order, for asserting what the
// user reads.
QStringList visibleTexts(QWidget *root);
// The widgets Tab stops at, from the one with the focus now, in order,
// until it comes round to the first again (at most most of them).
QList<QWidget *> tabStops(int most = 60);

} // namespace TestSupport
