#pragma once

#include <QColor>
#include <QPointer>
#include <QPushButton>
#include <functional>

class QColorDialog;

// A colour as a well of that colour; pressing it opens the colour panel,
// without opacity, over the window, and a colour chosen there is handed
// to picked.
class ColorWell : public QPushButton
{
    Q_OBJECT

public:
    ColorWell(const QString &name, std::function<void(const QColor &)> picked, QWidget *parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void openPanel();

    QString m_name;
    std::function<void(const QColor &)> m_picked;
    QColor m_colour;
    QPointer<QColorDialog> m_panel;
};
