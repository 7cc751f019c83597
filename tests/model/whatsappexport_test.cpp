#include "model/whatsappexport.h"

#include <QList>
#include <gtest/gtest.h>
#include <utility>

TEST(WhatsAppExport, ReadsTheChatsNameInEveryLanguageItIsKnownIn)
{
    const QList<std::pair<const char *, const char *>> names = {
        { "WhatsApp Chat with Jane Doe", "English" },
        { "WhatsApp Chat - Jane Doe", "the iPhone app" },
        { "WhatsApp Chat mit Jane Doe", "German" },
        { "WhatsApp-Chat mit Jane Doe", "German, with a hyphen" },
        { "Discussion WhatsApp avec Jane Doe", "French" },
        { "Chat de WhatsApp con Jane Doe", "Spanish" },
        { "Chat WhatsApp con Jane Doe", "Italian" },
        { "Conversa do WhatsApp com Jane Doe", "Brazilian Portuguese" },
        { "Conversa no WhatsApp com Jane Doe", "Portuguese" },
        { "WhatsApp-chat met Jane Doe", "Dutch" },
        { "Jane Doe ile WhatsApp Sohbeti", "Turkish" },
    };
    for (const auto &[name, language] : names) {
        SCOPED_TRACE(language);
        EXPECT_EQ(WhatsAppExport::chatName(QString::fromUtf8(name)), "Jane Doe");
    }
}

TEST(WhatsAppExport, ReadsNamesAsBrowsersAndCopiesWriteThem)
{
    EXPECT_EQ(WhatsAppExport::chatName(QStringLiteral("WhatsApp_Chat_mit_Jane_Doe")), "Jane Doe");
    EXPECT_EQ(WhatsAppExport::chatName(QStringLiteral("whatsapp chat with jane")), "jane");
    EXPECT_EQ(WhatsAppExport::chatName(QStringLiteral("WhatsApp Chat with Jane (2)")), "Jane");
    EXPECT_EQ(
        WhatsAppExport::chatName(QStringLiteral("WhatsApp Chat with +49 151 2345678")), "+49 151 2345678");
    EXPECT_EQ(
        WhatsAppExport::chatName(QStringLiteral("Chat de WhatsApp con Los Primos 🌮")), "Los Primos 🌮");
}

TEST(WhatsAppExport, NamesNoOneInOtherNames)
{
    for (const char *name : { "", "_chat", "chat", "Jane Doe", "WhatsApp Chat with ", "WhatsApp Chat mit",
             " ile WhatsApp Sohbeti", "My WhatsApp Chat with Jane", "Telegram Chat with Jane" }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(WhatsAppExport::chatName(QString::fromUtf8(name)), QString());
    }
}
