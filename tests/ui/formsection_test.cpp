// A grouped form's section: its labelled rows read as one column of names
// and one of values, in every form that uses it.
#include "ui/formsection.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

int leftOf(QWidget *widget, QWidget *root)
{
    return widget->mapTo(root, QPoint(0, 0)).x();
}

} // namespace

TEST(FormSection, TheValuesOfLabelledRowsStartAtOneEdge)
{
    FormSection section(QStringLiteral("Book"));
    QLineEdit *title = FormSection::field();
    QLineEdit *colophon = FormSection::field();
    section.addRow(QStringLiteral("Title"), title);
    section.addRow(QStringLiteral("Under the title"), colophon);
    section.resize(320, section.sizeHint().height());
    section.show();
    QApplication::processEvents();
    EXPECT_EQ(leftOf(title, &section), leftOf(colophon, &section));
    EXPECT_GT(leftOf(title, &section), 0);

    // A longer name added later moves every value along with it; a row
    // taken out again leaves the others where they are.
    QLineEdit *longer = FormSection::field();
    QWidget *row = section.addRow(QStringLiteral("Printed under the dedication"), longer);
    QApplication::processEvents();
    EXPECT_EQ(leftOf(title, &section), leftOf(longer, &section));
    EXPECT_EQ(leftOf(colophon, &section), leftOf(longer, &section));
    delete row;
    QLineEdit *last = FormSection::field();
    section.addRow(QStringLiteral("To"), last);
    QApplication::processEvents();
    EXPECT_EQ(leftOf(last, &section), leftOf(title, &section));
}
