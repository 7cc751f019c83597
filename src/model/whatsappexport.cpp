#include "whatsappexport.h"

#include <QList>
#include <QRegularExpression>

namespace WhatsAppExport {

namespace {

// The wording around the chat's name, "%1", in the languages of the
// exports people bring most: Android's names per language, and the
// iPhone's.
const QList<QLatin1String> &wordings()
{
    static const QList<QLatin1String> list = {
        QLatin1String("WhatsApp Chat with %1"), // English
        QLatin1String("WhatsApp Chat - %1"), // the iPhone app
        QLatin1String("WhatsApp Chat mit %1"), // German
        QLatin1String("WhatsApp-Chat mit %1"),
        QLatin1String("Discussion WhatsApp avec %1"), // French
        QLatin1String("Chat de WhatsApp con %1"), // Spanish
        QLatin1String("Chat WhatsApp con %1"), // Italian
        QLatin1String("Conversa do WhatsApp com %1"), // Portuguese, Brazil
        QLatin1String("Conversa no WhatsApp com %1"), // Portuguese, Portugal
        QLatin1String("WhatsApp-chat met %1"), // Dutch
        QLatin1String("%1 ile WhatsApp Sohbeti"), // Turkish
    };
    return list;
}

} // namespace

QString chatName(const QString &baseName)
{
    static const QRegularExpression copyNumber(QStringLiteral("\\s*\\(\\d+\\)$"));
    QString name = QString(baseName).replace(QLatin1Char('_'), QLatin1Char(' ')).trimmed();
    name.remove(copyNumber);
    for (const QLatin1String wording : wordings()) {
        const qsizetype at = wording.indexOf(QLatin1String("%1"));
        const QLatin1String before = wording.left(at);
        const QLatin1String after = wording.mid(at + 2);
        if (name.size() <= before.size() + after.size() || !name.startsWith(before, Qt::CaseInsensitive)
            || !name.endsWith(after, Qt::CaseInsensitive))
            continue;
        const QString chat = name.mid(before.size(), name.size() - before.size() - after.size()).trimmed();
        if (!chat.isEmpty())
            return chat;
    }
    return {};
}

} // namespace WhatsAppExport
