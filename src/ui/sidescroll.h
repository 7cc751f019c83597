#pragma once

#include <QColor>
#include <QScrollArea>
#include <optional>

// A row that runs sideways (chips, photos, cards): no scroll bars, an
// ordinary wheel turns it, and each edge beyond which more of the row lies
// fades into what the row sits on, so that an item cut at the edge reads as
// more to come.
class SideScroll : public QScrollArea
{
    Q_OBJECT

public:
    explicit SideScroll(QWidget *parent = nullptr);

    // The colour the edges fade into: by default that of the nearest widget
    // around the row that fills its background. A row on a surface painted
    // by hand names it.
    void setBackdrop(const QColor &color);
    QColor backdrop() const;
    // Whether more of the row lies beyond its leading or trailing edge.
    bool hasMoreBefore() const;
    bool hasMoreAfter() const;

protected:
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class EdgeFade;

    EdgeFade *m_fade;
    std::optional<QColor> m_backdrop;
};
