#pragma once

#include <QPointer>
#include <QWidget>

class CoverStep;
class PhotoStrip;
class QToolButton;

// The "A Photo" tab: the strip of pictures, one click for the cover, or a
// picture file dropped on the strip; and tips on what works well.
class CoverPhoto : public QWidget
{
    Q_OBJECT

public:
    explicit CoverPhoto(CoverStep *step, QWidget *parent = nullptr);

    struct Tip
    {
        QString symbol;
        QString text;
    };
    static const QList<Tip> &tips();

    PhotoStrip *strip() const { return m_strip; }
    // Whether something is being dragged over the strip.
    bool isDropping() const { return m_dropping; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void setDropping(bool dropping);

    QPointer<CoverStep> m_step;
    PhotoStrip *m_strip;
    QToolButton *m_tipsButton;
    bool m_dropping = false;
};
