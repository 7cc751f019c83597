#pragma once

#include <QWidget>

class QVariantAnimation;

// The strip of the wizard's steps: one capsule per step, filled up to the
// current one, which is drawn wide. A change of step slides the wide
// capsule over.
class ProgressDots : public QWidget
{
    Q_OBJECT

public:
    ProgressDots(int count, QWidget *parent = nullptr);

    int current() const { return m_current; }
    void setCurrent(int current);
    // The rectangle of a capsule as drawn once any slide has ended.
    QRectF capsule(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal widthOf(int index, qreal progress) const;

    int m_count;
    int m_current = 0;
    int m_previous = 0;
    qreal m_progress = 1;
    QVariantAnimation *m_slide;
};
