#pragma once

#include <QLabel>

// Plain text wrapped over at most a number of lines, the last one ending
// in an ellipsis when the text goes on; QLabel itself can only wrap
// without limit or elide a single line. The lines are ClampedText's, the
// same as lists and sheets draw.
class ClampedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClampedLabel(int maxLines, QWidget *parent = nullptr);
    ClampedLabel(const QString &text, int maxLines, QWidget *parent = nullptr);

    // At least this many lines tall, even for a short text.
    void setMinimumLines(int lines);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_maxLines;
    int m_minimumLines = 1;
};
