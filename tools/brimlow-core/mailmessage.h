#pragma once

#include "transcript.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace Brimlow {

// One e-mail (RFC 5322 with MIME), as much of it as a book needs: who wrote
// to whom and when, the new text without the quoted earlier mails (or the
// subject, where that is all it says), and its attachments, pictures with
// their bytes.
struct MailMessage
{
    QString from; // address, lower-cased
    QStringList recipients; // To and Cc, addresses lower-cased
    QList<std::pair<QString, QString>> names; // display names by address
    QString at; // local time
    QString text;
    QList<Transcript::Attachment> attachments;
    bool sent = false; // Gmail marks the account's own mail "Sent"

    // nullopt when the bytes hold no mail (no sender or no date).
    static std::optional<MailMessage> parse(const QByteArray &raw);

    // The name to show for an address: its display name, else the address.
    QString nameOf(const QString &address) const;

    // Header texts with RFC 2047 words ("=?UTF-8?B?…?=") decoded.
    static QString decodeWords(const QByteArray &header);
    // "Sun, 31 Jan 2021 21:41:02 +0100" as local time.
    static QString timeOf(const QString &date);
    // The text a person wrote, without the quoted mail below it or a
    // signature.
    static QString newText(const QString &body);
};

} // namespace Brimlow
