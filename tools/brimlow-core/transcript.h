#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Brimlow {

// Everything of one conversation that goes into a book, whatever it was
// read from. Senders are indexes into `participants`; the user is `Me`.
struct Transcript
{
    static constexpr int Me = -1;

    struct Attachment
    {
        QString kind; // "photo", "video", "voice memo", "audio", "sticker", "contact", "file"
        QString path; // where the source keeps the file; may be empty
        QByteArray data; // the file itself, for exports that carry it inside
    };

    struct Message
    {
        QString id;
        QString at; // local time, "yyyy-MM-ddTHH:mm:ss"
        int sender = Me;
        QString text;
        QList<Attachment> attachments;
    };

    bool group = false;
    QString name; // the conversation's own name, when it has one
    QStringList participants; // handles or names of everyone but the user
    QList<Message> messages; // in time order
};

} // namespace Brimlow

Q_DECLARE_TYPEINFO(Brimlow::Transcript::Attachment, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(Brimlow::Transcript::Message, Q_RELOCATABLE_TYPE);
