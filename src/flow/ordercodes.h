#pragma once

#include "ordertotal.h"
#include "service/ordering.h"
#include "service/rewards.h"
#include "ui/statusline.h"

#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The discount and gift card rows of the order sheet: what the service's
// answer to a code reads as, and the row that asks for it.
namespace OrderCodes {

// A line under a code field: good news, or a code that doesn't work.
using Line = StatusLine::Status;

// Nothing before an answer, or when the service gave none.
std::optional<Line> discountLine(const std::optional<Rewards::Discount> &discount);
// How much of the price (none without prices) the card pays once percent
// is taken off the book. What the card takes off is in whole dollars, cents
// dropped; so is what is left, unless a percentage made it cents.
std::optional<Line> giftLine(const std::optional<Ordering::Gift> &gift,
    const std::optional<OrderTotal::Price> &price, int percent = 0);

} // namespace OrderCodes

// A code field in a fixed-pitch face with its "Apply" button and the line
// that answers it. Return in the field checks the code, as "Apply" does,
// and never presses another button of the sheet.
class CodeRow : public QWidget
{
    Q_OBJECT

public:
    CodeRow(const QString &placeholder, QWidget *parent = nullptr);

    QLineEdit *field() const { return m_field; }
    // Shows code unless it is what the field already holds.
    void setCode(const QString &code);
    void setLine(const std::optional<OrderCodes::Line> &line);

signals:
    void codeEdited(const QString &code);
    void checkRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Codes are read in a fixed-pitch face; the long placeholder is not.
    void fitFont();

    QFont m_fixed;
    QLineEdit *m_field;
    QPushButton *m_apply;
    StatusLine *m_line;
};
