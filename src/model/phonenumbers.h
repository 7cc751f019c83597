#pragma once

#include <QString>
#include <QStringList>

// Phone numbers as their owners write them. Countries' numbering plans come
// from libphonenumber.
namespace PhoneNumbers {

// The numeric characters of a text in their order, each as the user sees
// it: digits of every script, and also such as the vulgar fraction one half.
QStringList numerics(const QString &text);

// A handle as it is shown without a contact. A North American number
// (written with +1; without it, ten digits, or eleven beginning with 1,
// whose area code and exchange each begin with 2 to 9) as
// "(415) 555-0132"; any other number with a country code in its
// country's international form ("+4915123456789" as "+49 1512 3456789");
// everything else as written: a number without a country code that isn't
// North American, an address, a short code.
QString pretty(const QString &handle);

// Loads the numbering plans, which takes a while the first time; called
// off the window's thread at the start, so that the first number shown
// doesn't wait for them. Safe from any thread.
void prepare();

} // namespace PhoneNumbers
