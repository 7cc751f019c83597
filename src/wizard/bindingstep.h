#pragma once

#include "service/pricing.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class Card;
class QLabel;
class QVBoxLayout;
class TabularNumber;
class WizardModel;

// The binding, one card per binding of the price list with the price of
// the book as sized now; a word instead when prices didn't load.
class BindingStep : public QWidget
{
    Q_OBJECT

public:
    explicit BindingStep(WizardModel *model, QWidget *parent = nullptr);

    // "3 books: $39 + 2 × $29" for more than one book, else empty.
    static QString volumesCaption(const Pricing::Binding &binding, int volumes);
    // "Included: every message in the range, a dedication page."
    static QString includedLine(const Pricing &pricing);

private:
    struct Row
    {
        Pricing::Binding binding;
        Card *card;
        QLabel *caption;
        TabularNumber *price;
    };

    void rebuild();
    void refresh();

    QPointer<WizardModel> m_model;
    QVBoxLayout *m_column;
    QWidget *m_content = nullptr;
    std::optional<Pricing> m_builtFor;
    bool m_built = false;
    QList<Row> m_rows;
};
