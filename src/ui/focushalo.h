#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

// The keyboard's halo around a choice (a card, a swatch) that draws its
// being chosen as a ring of its own: the halo lies outside the choice, in
// the room around it, so focus never reads as the choice. It shows only
// while the window is worked with keys, as every control's ring does.
class FocusHalo : public QWidget
{
    Q_OBJECT

public:
    // Follows target from now on, for as long as it lives; radius is the
    // corner radius of the target's shape (half its side for a round one).
    static FocusHalo *follow(QWidget *target, qreal radius);

    QWidget *target() const { return m_target; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    FocusHalo(QWidget *target, qreal radius);
    void place();

    QPointer<QWidget> m_target;
    qreal m_radius;
    // The containers between the target and the halo's own.
    QList<QPointer<QObject>> m_between;
};
