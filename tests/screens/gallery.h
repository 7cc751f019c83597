#pragma once

// What `make screens` shares: the window's three sizes, the two
// appearances, and saving a window as a person sees it, with whatever
// sheets, popovers and menus are open over it, as
// build/screens/<screen>-<state>-<light|dark>-<W>x<H>.png.
#include <QList>
#include <QSize>
#include <QString>
#include <functional>

class QImage;
class QMenu;
class QWidget;

namespace Gallery {

// The user's window at its smallest, at first, and large: menu bar and
// toolbar included.
const QList<QSize> &windowSizes();

// Runs scene once in the light appearance and once in the dark one, each
// on the look the app applies as it starts, so that what a screen reads
// from the look as it is built is that appearance's.
void inBothAppearances(const std::function<void()> &scene);
// "light" or "dark", while a scene runs.
QString appearance();

// Lets queued layouts, shows and short animations run.
void settle(int milliseconds = 150);

// Saves what the window shows now, with what is open over it: sheets and
// message boxes centred over it as the desktop puts them, popovers and menus
// where they opened.
void save(QWidget *window, const QString &screen, const QString &state);

// The window at each size in turn, saved as save() does. Before each
// picture open runs (to open a popover or menu where the window now puts
// it), and after it close.
void atEverySize(QWidget *window, const QString &screen, const QString &state,
    const std::function<void()> &open = {}, const std::function<void()> &close = {});

// Opens menu below button, where the button drops it down (showMenu()
// and exec() would wait for a choice); closePopups() closes what is open,
// tool tips included.
void dropDown(QWidget *button, QMenu *menu);
void closePopups();

// A picture that has a size of its own (the cards, the film's frames),
// saved at that size.
void savePicture(const QImage &image, const QString &screen, const QString &state);

} // namespace Gallery
