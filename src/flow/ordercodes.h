#pragma once

#include "ordertotal.h"
#include "service/ordering.h"
#include "service/rewards.h"
#include "ui/style.h"

#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The discount and gift card rows of the order sheet: what the service's
// answer to a code reads as, and the row that asks for it.
namespace OrderCodes {

// A line under a code field: a symbol and a sentence, in the brand colour
// for good news and in secondary text for a code that doesn't work.
struct Line
{
    enum class Ink { Brand, Secondary };

    QString symbol;
    QString text;
    Ink ink = Ink::Brand;
    friend bool operator==(const Line &, const Line &) = default;
};

// Nothing before an answer, or when the service gave none.
std::optional<Line> discountLine(const std::optional<Rewards::Discount> &discount);
// How much of the price (none without prices) the card pays once percent
// is taken off the book. What the card takes off is in whole dollars, cents
// dropped; so is what is left, unless a percentage made it cents.
std::optional<Line> giftLine(const std::optional<Ordering::Gift> &gift,
    const std::optional<OrderTotal::Price> &price, int percent = 0);

} // namespace OrderCodes

// A symbol and a sentence beside it, in one colour that follows the
// appearance; hidden while it has nothing to say.
class SymbolLine : public QWidget
{
    Q_OBJECT

public:
    // Callout for the answers under a field; Body where the line is the news.
    explicit SymbolLine(Style::Text style = Style::Text::Callout, QWidget *parent = nullptr);

    void setLine(const std::optional<OrderCodes::Line> &line);
    QString text() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void paintLine();

    int m_symbolSize;
    std::optional<OrderCodes::Line> m_line;
    QLabel *m_symbol;
    QLabel *m_text;
};

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

private:
    // Codes are read in a fixed-pitch face; the long placeholder is not.
    void fitFont();

    QFont m_fixed;
    QLineEdit *m_field;
    QPushButton *m_apply;
    SymbolLine *m_line;
};
