#pragma once

#include "project/clock.h"

#include <QUrl>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

// What a screen shows in place of a page the desktop didn't open (no
// browser set, no opener): which page it was, its address to copy into a
// browser by hand, "Copy Link", and "Try Again" for the caller to ask the
// desktop once more. Hidden until it has a page.
class UnopenedPage : public QWidget
{
    Q_OBJECT

public:
    explicit UnopenedPage(QWidget *parent = nullptr);
    ~UnopenedPage() override;

    // sentence says which page didn't open and what its address is for.
    void setPage(const QString &sentence, const QUrl &address);
    QUrl address() const { return m_address; }
    QString sentence() const;

    QPushButton *copyButton() const { return m_copy; }
    QPushButton *retryButton() const { return m_retry; }

signals:
    void retryRequested();

private:
    void copy();

    QUrl m_address;
    QLabel *m_symbol;
    QLabel *m_sentence;
    QLineEdit *m_field;
    QPushButton *m_copy;
    QPushButton *m_retry;
    std::unique_ptr<Clock::Alarm> m_copyReset;
};
