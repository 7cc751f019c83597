#pragma once

#include <QAbstractButton>

// An on/off switch in the brand colour, for settings that take effect as
// they are flipped. Qt's widgets have only the check box.
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget *parent = nullptr);

    QSize sizeHint() const override { return { 36, 20 }; }

protected:
    void paintEvent(QPaintEvent *event) override;
};
