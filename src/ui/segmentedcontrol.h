#pragma once

#include <QStringList>
#include <QWidget>

// A row of mutually exclusive segments, one of them chosen, as a compact
// picker of two or three options.
class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    // How the width is shared: the same for every segment, or each its
    // label's width and an equal share of what is left.
    enum class Widths { Equal, Fitted };

    explicit SegmentedControl(QWidget *parent = nullptr);

    QStringList labels() const { return m_labels; }
    void setLabels(const QStringList &labels);
    // -1 when none is chosen.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    void setWidths(Widths widths);
    // Chooses a segment as a click on it does, for a screen reader's press.
    void activate(int index);
    // Where a segment lies in the control.
    QRect segmentRect(int index) const;

    // Room for every label in the chosen weight: comfortably, and at least.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user chose a segment (not sent for setCurrentIndex).
    void activated(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int widthFor(int padding) const;
    QRectF segment(int index) const;
    void choose(int index);

    QStringList m_labels;
    int m_current = -1;
    Widths m_widths = Widths::Equal;
};
