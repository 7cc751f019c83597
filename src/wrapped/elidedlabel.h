#pragma once

#include <QLabel>

// One line of text that ends in "…" when its room runs short, instead of
// pushing its neighbours aside; text() stays the whole text, and the
// tooltip shows it while it is cut.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    bool isElided() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refreshTip();
};
