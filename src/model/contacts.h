#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The user's address book: the vCard files (*.vcf) of the personal
// contacts folder, read for the names of phone numbers and e-mail
// addresses. Only what naming needs is read: the structured name and the
// formatted one, the phone numbers and the e-mail addresses.
namespace Contacts {

struct Card
{
    QString given;
    QString family;
    QString formatted; // FN, what cards without a structured name go by
    // As entered.
    QStringList phones;
    QStringList emails;

    // Given and family name joined by one space, leaving out an empty part;
    // the formatted name when both are empty.
    QString name() const;
};

// $XDG_DATA_HOME/contacts (~/.local/share/contacts by default).
QString folder();

// The cards of one vCard file (versions 2.1 to 4.0), in file order.
QList<Card> parse(const QByteArray &vcf);

// Every card of the folder's *.vcf files, files in name order. Nothing
// when the folder is missing or unreadable, as when access to contacts is
// refused; the cards read so far when a file cannot be read.
std::optional<QList<Card>> read(const QString &folder);

} // namespace Contacts
