#pragma once

#include "style.h"

#include <QString>
#include <QWidget>
#include <optional>

class QLabel;

// How something went, in a line under what was tried: a symbol and a
// sentence beside it, both in one colour. A failure carries the warning
// mark in the error colour, as every failure the app shows does; good news
// carries its own symbol in the success colour, never a red that could be
// read as a failure. Hidden while it has nothing to say; the sentence
// wraps and can be selected, to be copied into a message to us.
class StatusLine : public QWidget
{
    Q_OBJECT

public:
    struct Status
    {
        enum class Kind { Failure, Success };

        Kind kind = Kind::Failure;
        QString text;
        // Good news only: a failure always carries the warning mark.
        QString symbol;

        static Status failure(const QString &text) { return { Kind::Failure, text, {} }; }
        static Status success(const QString &symbol, const QString &text)
        {
            return { Kind::Success, text, symbol };
        }
        friend bool operator==(const Status &, const Status &) = default;
    };

    // Callout for the answers under a field; Body where the line is the news.
    explicit StatusLine(Style::Text style = Style::Text::Callout, QWidget *parent = nullptr);

    void setStatus(const std::optional<Status> &status);
    const std::optional<Status> &status() const { return m_status; }
    QString text() const;

    // The colour a line of that kind is drawn in, in the appearance in use.
    static QColor ink(Status::Kind kind);

protected:
    void changeEvent(QEvent *event) override;

private:
    void paintStatus();

    int m_symbolSize;
    std::optional<Status> m_status;
    QLabel *m_symbol;
    QLabel *m_text;
};
