#include "sidescroll.h"

#include "style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// How far into the row an edge fades; its last few pixels are solid, so
// nothing shows cut at the very edge.
constexpr int reach = 28;

} // namespace

// Laid over the viewport: the row's own widgets never have to know.
class SideScroll::EdgeFade : public QWidget
{
public:
    explicit EdgeFade(SideScroll *row)
        : QWidget(row)
        , m_row(row)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QColor solid = m_row->backdrop();
        QColor clear = solid;
        clear.setAlpha(0);
        QPainter painter(this);
        if (m_row->hasMoreBefore()) {
            QLinearGradient fade(0, 0, reach, 0);
            fade.setColorAt(0.1, solid);
            fade.setColorAt(1, clear);
            painter.fillRect(QRect(0, 0, reach, height()), fade);
        }
        if (m_row->hasMoreAfter()) {
            QLinearGradient fade(width() - reach, 0, width(), 0);
            fade.setColorAt(0, clear);
            fade.setColorAt(0.9, solid);
            painter.fillRect(QRect(width() - reach, 0, reach, height()), fade);
        }
    }

private:
    SideScroll *m_row;
};

SideScroll::SideScroll(QWidget *parent)
    : QScrollArea(parent)
    , m_fade(new EdgeFade(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab stops at the items in the row, and the row turns to each.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    const auto refade = [this] { m_fade->update(); };
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, refade);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, refade);
}

void SideScroll::setBackdrop(const QColor &color)
{
    m_backdrop = color;
    m_fade->update();
}

QColor SideScroll::backdrop() const
{
    if (m_backdrop)
        return *m_backdrop;
    return parentWidget() ? Style::backdrop(parentWidget()) : palette().color(QPalette::Window);
}

bool SideScroll::hasMoreBefore() const
{
    return horizontalScrollBar()->value() > horizontalScrollBar()->minimum();
}

bool SideScroll::hasMoreAfter() const
{
    return horizontalScrollBar()->value() < horizontalScrollBar()->maximum();
}

void SideScroll::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    m_fade->setGeometry(viewport()->geometry());
    m_fade->raise();
}

void SideScroll::wheelEvent(QWheelEvent *event)
{
    // The row runs only sideways, so an ordinary wheel turns it too; a row
    // with nothing to scroll leaves the wheel to the page around it.
    QScrollBar *bar = horizontalScrollBar();
    if (bar->maximum() == bar->minimum()) {
        event->ignore();
        return;
    }
    const QPoint delta = event->pixelDelta().isNull() ? event->angleDelta() / 2 : event->pixelDelta();
    const int step = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    bar->setValue(bar->value() - step);
    event->accept();
}
