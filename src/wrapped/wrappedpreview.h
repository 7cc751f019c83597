#pragma once

#include "wrappedcardview.h"

#include <QPixmap>
#include <QWidget>
#include <optional>

class QVariantAnimation;

// The large card of the Wrapped screen: drawn whole, as big as the room
// allows but never above 1.15 times its natural size, with rounded corners
// and a soft shadow. Another card cross-fades in; a change of look redraws
// at once.
class WrappedPreview : public QWidget
{
    Q_OBJECT

public:
    explicit WrappedPreview(QWidget *parent = nullptr);

    // Nothing to show leaves the room empty.
    void setContent(const std::optional<WrappedCardView::Content> &content);
    const std::optional<WrappedCardView::Content> &content() const { return m_content; }

    // The card's place in the widget, and the scale it is drawn at.
    QRectF cardRect() const;
    qreal scale() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Face;

    void place();

    std::optional<WrappedCardView::Content> m_content;
    Face *m_face;
};
