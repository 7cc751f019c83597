#pragma once

#include <QWidget>

class QLabel;

// The empty state of a pane: a large symbol, a title and a sentence, centred
// ("Choose someone", "This conversation didn't open").
class ContentUnavailable : public QWidget
{
    Q_OBJECT

public:
    ContentUnavailable(
        const QString &symbol, const QString &title, const QString &description, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setDescription(const QString &description);
    QString title() const;
    QString description() const;

private:
    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_description;
};
