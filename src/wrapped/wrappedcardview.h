#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QImage>
#include <QSizeF>
#include <QWidget>
#include <optional>

class QPainter;

// One Wrapped card in the look the settings choose: a story card (360 x
// 640 points) or a post card (360 x 360) with the header, the big figure,
// ranked rows and the footer. paint() is the one drawing of a card: the
// widget, the PNG export and the video frames all call it.
class WrappedCardView : public QWidget
{
    Q_OBJECT

public:
    // What a card is drawn from.
    struct Content
    {
        Wrapped::Card card;
        Wrapped wrapped;
        WrappedSettings settings;
        std::optional<QString> code;
        // Overrides the settings' format for the card's own shape.
        std::optional<WrappedSettings::Format> format;
        // 0 to 1: the figure counts up and the rows fade in; 1 is finished.
        double progress = 1;

        WrappedSettings::Format shape() const { return format.value_or(settings.format); }
    };

    explicit WrappedCardView(QWidget *parent = nullptr);

    const Content &content() const { return m_content; }
    void setContent(const Content &content);

    QSize sizeHint() const override;

    // The card's size in points.
    static QSizeF size(WrappedSettings::Format format);
    // Draws the card with its top-left corner at the painter's origin, in
    // points.
    static void paint(QPainter &painter, const Content &content);
    // The card as a picture, scale pixels to the point; a null image when
    // it can't be made.
    static QImage render(const Content &content, qreal scale = 3);

    // The big figure as the card shows it at its progress: the count on
    // its way up, then the document's own text.
    static QString shownBig(const Content &content);
    // How far row index (of count rows) has faded in at progress.
    static double rowProgress(double progress, int index, int count);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Content m_content;
};
