#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The fixed texts WhatsApp writes into an export in place of files,
// deleted messages and group events, in the languages of its most common
// exports: English, German, French, Spanish, Italian, Portuguese, Dutch
// and Turkish. A text of another language is none of these and stays a
// message.
namespace Brimlow::WhatsAppNotices {

struct Attachment
{
    QString kind;
    QString fileName; // empty when the export left the file out
    QString contactName; // a shared contact's, from its card's file name
};

// "IMG-0001.jpg (file attached)", "<attached: 0001-PHOTO.jpg>", "image
// omitted", "<Media omitted>" and their translations; the text without
// its invisible marks.
std::optional<Attachment> attachment(QStringView text);

// "This message was deleted" and its translations.
bool isDeleted(QStringView text);

// The notice that the chat is end-to-end encrypted.
bool isEncryptionNotice(QStringView text);

// The same notice, but only as WhatsApp words it, current or older ("Messages
// to this group are now secured with end-to-end encryption."): a person
// talking about encryption never writes one.
bool isWholeEncryptionNotice(QStringView text);

// A group event or call the iPhone app writes under a sender, behind an
// invisible mark: "Sam created group “Family”", "Du hast Jo entfernt.".
bool isEvent(QStringView text);

// The text without a trailing "<This message was edited>" or its translation.
QString withoutEditedMark(const QString &text);

} // namespace Brimlow::WhatsAppNotices
