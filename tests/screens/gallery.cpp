#include "gallery.h"

#include "ui/style.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <QWidget>

namespace Gallery {

namespace {

QString current = QStringLiteral("light");

// Whether top is a window of its own that belongs to window: a sheet, a
// message box, a popover or a menu opened from it or from one of those.
bool belongsTo(QWidget *top, QWidget *window)
{
    for (QWidget *owner = top->parentWidget(); owner; owner = owner->parentWidget()) {
        if (owner->window() == window)
            return true;
    }
    return false;
}

bool isPopup(const QWidget *top)
{
    return top->windowType() == Qt::Popup || top->windowType() == Qt::ToolTip;
}

// How many popups a popup opened from: a date field's calendar opened in a
// popover lies over that popover.
int popupDepth(const QWidget *top)
{
    int depth = 0;
    for (const QWidget *owner = top->parentWidget(); owner; owner = owner->window()->parentWidget())
        if (isPopup(owner->window()))
            ++depth;
    return depth;
}

struct Layer
{
    QPixmap picture;
    QPoint at;
    bool popup = false;
    int depth = 0;
};

// A shadow and a hairline around a window of its own: offscreen there is
// no window manager to draw them.
void paintFrame(QPainter &painter, const QRect &area, bool popup)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int depth = popup ? 8 : 18;
    for (int i = depth; i > 0; i -= 2) {
        QPainterPath path;
        path.addRoundedRect(QRectF(area).adjusted(-i, -i + depth / 3, i, i + depth / 3), 10 + i, 10 + i);
        painter.setBrush(QColor(0, 0, 0, 5));
        painter.drawPath(path);
    }
    const bool dark = current == QLatin1String("dark");
    painter.setPen(QPen(dark ? QColor(255, 255, 255, 50) : QColor(0, 0, 0, 60), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(area).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.restore();
}

QImage composite(QWidget *window)
{
    const QPixmap base = window->grab();
    const QSize size = window->size();
    QList<Layer> layers;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top == window || !top->isVisible() || !belongsTo(top, window))
            continue;
        Layer layer { top->grab(), {}, isPopup(top), popupDepth(top) };
        if (layer.popup) {
            layer.at = top->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
        } else {
            layer.at
                = QPoint((size.width() - top->width()) / 2, std::max(0, (size.height() - top->height()) / 2));
        }
        layers.append(layer);
    }
    // Sheets under what pops up from them, and a popup under the one opened
    // from it.
    std::stable_sort(layers.begin(), layers.end(), [](const Layer &a, const Layer &b) {
        return std::pair(a.popup, a.depth) < std::pair(b.popup, b.depth);
    });

    QRect canvas(QPoint(0, 0), size);
    for (const Layer &layer : layers)
        canvas |= QRect(layer.at, layer.picture.deviceIndependentSize().toSize());
    QImage image(canvas.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x80, 0x80, 0x84));
    QPainter painter(&image);
    painter.translate(-canvas.topLeft());
    painter.drawPixmap(0, 0, base);
    for (const Layer &layer : layers) {
        const QRect area(layer.at, layer.picture.deviceIndependentSize().toSize());
        paintFrame(painter, area, layer.popup);
        painter.drawPixmap(layer.at, layer.picture);
    }
    return image;
}

void write(const QImage &image, const QString &screen, const QString &state, QSize size)
{
    const QString folder = QStringLiteral(QUORVEL_SCREENS_FOLDER);
    QDir().mkpath(folder);
    const QString name = QStringLiteral("%1-%2-%3-%4x%5.png")
                             .arg(screen, state, current)
                             .arg(size.width())
                             .arg(size.height());
    image.save(folder + QLatin1Char('/') + name);
}

} // namespace

const QList<QSize> &windowSizes()
{
    static const QList<QSize> sizes { { 980, 640 }, { 1280, 820 }, { 1600, 1000 } };
    return sizes;
}

void inBothAppearances(const std::function<void()> &scene)
{
    for (const char *look : { "light", "dark" }) {
        current = QString::fromLatin1(look);
        qputenv("QUORVEL_APPEARANCE", look);
        Style::apply();
        scene();
    }
    qunsetenv("QUORVEL_APPEARANCE");
    current = QStringLiteral("light");
    Style::apply();
}

QString appearance()
{
    return current;
}

void settle(int milliseconds)
{
    // A row shown inside a section asks its parents to lay out in turn, a
    // round for each level.
    for (int round = 0; round < 4; ++round)
        QApplication::processEvents();
    QTest::qWait(milliseconds);
    QApplication::processEvents();
}

void save(QWidget *window, const QString &screen, const QString &state)
{
    settle(0);
    write(composite(window), screen, state, window->size());
}

void atEverySize(QWidget *window, const QString &screen, const QString &state,
    const std::function<void()> &open, const std::function<void()> &close)
{
    for (const QSize &size : windowSizes()) {
        window->resize(size);
        settle();
        if (open) {
            open();
            settle();
        }
        save(window, screen, state);
        if (close) {
            close();
            settle(0);
        }
    }
}

void dropDown(QWidget *button, QMenu *menu)
{
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void closePopups()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    // A tool tip fades out after a while; one asked for again before then,
    // at the next size, would keep its old place and then go.
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->windowType() == Qt::ToolTip)
            top->hide();
}

void savePicture(const QImage &image, const QString &screen, const QString &state)
{
    write(image, screen, state, image.size());
}

} // namespace Gallery
