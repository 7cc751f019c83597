#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <optional>

class ClampedLabel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;
class ToggleSwitch;
class WizardModel;
struct Insights;

// The optional touches: a dedication page, the receipt at the back, the
// first "I love you" on a page of the user's choosing, and the words set
// in bold wherever they occur.
class TouchesStep : public QWidget
{
    Q_OBJECT

public:
    explicit TouchesStep(WizardModel *model, QWidget *parent = nullptr);

    // "MESSAGES 2,004 · LABEL VALUE · …", from the first three receipt lines.
    static QString receiptPreview(const WizardModel &model);
    // The top words of each side, from the words moments, in their order.
    static QStringList suggestedWords(const std::optional<Insights> &insights);
    // The date of the first "I love you" and the page it would land on by
    // itself, never below 1.
    static QString pinCaption(const WizardModel &model);
    // What the chosen page costs while the pin is on: "Page 123 adds about
    // 89 blank pages before it."; none when it costs nothing.
    static std::optional<QString> pinCost(const WizardModel &model);

private:
    void refresh();
    // The pin row and the words need the insights; they come in once those
    // are there.
    void addInsightBlocks();
    QWidget *dedicationBlock();
    QWidget *receiptRow();
    QWidget *pinRow();
    QWidget *wordsBlock();

    QPointer<WizardModel> m_model;
    QVBoxLayout *m_column;
    QPlainTextEdit *m_dedication;
    ToggleSwitch *m_receipt;
    ClampedLabel *m_receiptPreview;
    QWidget *m_pin = nullptr;
    ToggleSwitch *m_pinLove = nullptr;
    QLabel *m_pinCaption = nullptr;
    QLabel *m_pinCost = nullptr;
    QLabel *m_pinMoves = nullptr;
    QLineEdit *m_pinPage = nullptr;
    QWidget *m_wordsBlock = nullptr;
    QList<QPushButton *> m_words;
};
