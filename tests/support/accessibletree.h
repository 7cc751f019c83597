#pragma once

#include <QAccessible>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

class QObject;
class QWidget;

namespace TestSupport {

// What a screen reader is handed for object.
QAccessibleInterface *spoken(QObject *object);

// Every element below root (root included) that a screen reader reaches
// and can't name, walked as the accessibility bus walks it: interactive
// elements without a name (a field with only a placeholder among them) and
// a sheet (a dialog) without a title. Each entry says what and where, for the
// failure message; empty when every one has a name.
QStringList unnamedElements(QWidget *root);
// Success when a screen reader can name every element below root; else
// failure, saying which elements it can't, one a line.
::testing::AssertionResult everyElementNamed(QWidget *root);

// The interactive elements below root a screen reader hears, as "role:
// name", in the order it walks them.
QStringList spokenControls(QWidget *root);

// The names of the choices below root a screen reader hears as chosen:
// checked radio items and selected buttons.
QStringList chosenItems(QWidget *root);

// The first interactive element below root a screen reader hears by that
// name; nullptr when there is none.
QAccessibleInterface *elementNamed(QWidget *root, const QString &name);
// Presses an element as a screen reader does, through its press action.
void pressElement(QAccessibleInterface *element);

} // namespace TestSupport
