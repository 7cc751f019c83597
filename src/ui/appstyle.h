#pragma once

#include <QProxyStyle>

class QApplication;
class QCalendarWidget;

// Every standard control in the app's one look, over Fusion: rounded bezel
// buttons and framed fields as the desktop's own, drop-down menus and date
// fields with chevrons, steppers, thin scroll bars without arrow buttons,
// outlined menus and tool tips, check boxes, progress bars and alerts, in
// the colours of the palette in use so each appearance reads as one app.
// A button's role (the prominent one, a link, a chip...) is asked of Style
// by the screen; the drawing is decided here and nowhere else.
class AppStyle : public QProxyStyle
{
    Q_OBJECT

public:
    AppStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
        const QWidget *widget = nullptr) const override;
    QRect subElementRect(
        SubElement element, const QStyleOption *option, const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
        const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
        QStyleHintReturn *returnData = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;

    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    void polish(QApplication *application) override;
    void unpolish(QApplication *application) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void polishCalendar(QCalendarWidget *calendar);

    // Wraps a long plain tool tip into a few balanced lines, as the
    // desktop's own tool tips do, instead of one line across the screen.
    QObject *m_tipWrapper = nullptr;
    // Return presses the focused button of a window, as Space does.
    QObject *m_returnPresses = nullptr;
};
