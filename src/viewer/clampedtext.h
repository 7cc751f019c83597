#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>
#include <QWidget>

class QPainter;

// Plain text in at most a few lines, the last one ending in "…" when the
// text goes on: how message texts show in lists and sheets. Never rich
// text: a message reading "<b>x</b>" shows exactly that.
namespace ClampedText {

struct Block
{
    QString text;
    QFont font;
    int maxLines = 1;
    // Extra formats over the text (search highlights), by character.
    QList<QTextLayout::FormatRange> formats;
};

int height(const Block &block, int width);
// Draws in the painter's pen colour.
void paint(QPainter &painter, const QPointF &topLeft, int width, const Block &block);

} // namespace ClampedText

// A label showing ClampedText, as tall as its lines at its width.
class ClampedLabel : public QWidget
{
    Q_OBJECT

public:
    explicit ClampedLabel(int maxLines, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    ClampedText::Block block() const;

    QString m_text;
    int m_maxLines;
};
