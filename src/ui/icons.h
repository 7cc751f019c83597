#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The symbols the screens show, by the names they are known by
// ("lock.shield", "chevron.right"), drawn from the SVGs the app ships in
// one colour, the way symbols follow the text around them.
namespace Icons {

// The shipped file of a symbol; empty when the app has none by that name.
QString file(const QString &symbol);
// The symbol in colour at a size in device-independent pixels, sharp on
// the screen's scale; a transparent pixmap for an unknown symbol.
QPixmap pixmap(const QString &symbol, int size, const QColor &color, qreal devicePixelRatio = 0);
// The symbol in the palette's text colour, for buttons, menus and toolbars;
// disabled states are drawn faded.
QIcon icon(const QString &symbol);
QIcon icon(const QString &symbol, const QColor &color);
// The app's own icon, from the hicolor theme folder the app is installed
// with; the desktop's theme when that folder has none.
QIcon appIcon();

} // namespace Icons
