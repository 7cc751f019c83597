#pragma once

#include "project/project.h"
#include "service/pricing.h"
#include "ui/sheet.h"

#include <memory>
#include <optional>
#include <qcorotask.h>

class AddressForm;
class CodeRow;
class ErrorRow;
class OrderModel;
class QLabel;
class QLineEdit;
class QPushButton;
class Spinner;
class StatusLine;
class UnopenedPage;

// The sheet in which a book is ordered: it asks the service how orders are
// taken, collects an e-mail address, codes and, when a gift card pays for
// everything, the postal address, and then follows the order being placed
// until its closing words. The order goes on when the sheet is closed; a
// sheet opened again for a book whose order is still being placed shows
// that order. Deletes itself when closed.
//
// With QUORVEL_TEST_ORDER set, the sheet places an order on its own, with
// the variable's value as the e-mail address, once it knows ordering is
// open.
class OrderSheet : public Sheet
{
    Q_OBJECT

public:
    OrderSheet(QWidget *parent, std::shared_ptr<Project> project, std::optional<Pricing> pricing);
    ~OrderSheet() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildReadyForm(QWidget *form);
    void connectModel();
    QCoro::Task<void> readMode();
    void refresh();
    void refreshReadyForm();
    void refreshProgress();

    std::shared_ptr<OrderModel> m_model;
    bool m_modeAsked = false;
    bool m_formWasShown = false;

    QLabel *m_heading;
    Spinner *m_modeSpinner;
    QLabel *m_closed;
    QWidget *m_form;
    QLabel *m_intro;
    QLineEdit *m_email;
    CodeRow *m_discount;
    CodeRow *m_gift;
    AddressForm *m_address;
    QWidget *m_progress;
    QLabel *m_progressTitle;
    QLabel *m_progressDetail;
    StatusLine *m_done;
    UnopenedPage *m_unopened;
    ErrorRow *m_error;
    QPushButton *m_dismiss;
    QPushButton *m_order;
};
