#pragma once

#include <QWidget>

class QTimer;

// The indeterminate progress indicator: a ring of fading spokes that turns
// while it is visible and costs nothing while it is hidden.
class Spinner : public QWidget
{
    Q_OBJECT

public:
    enum class Size { Small = 16, Regular = 32, Large = 48 };

    explicit Spinner(QWidget *parent = nullptr);
    explicit Spinner(Size size, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_size;
    int m_step = 0;
    QTimer *m_timer;
};
