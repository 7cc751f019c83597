#include "chatlogreaders.h"

#include "discordreader.h"
#include "googlechatreader.h"
#include "ircreader.h"
#include "kakaotalkreader.h"
#include "linereader.h"
#include "mailreader.h"
#include "messengerreader.h"
#include "signaljsonreader.h"
#include "signaltextreader.h"
#include "skypereader.h"
#include "slackreader.h"
#include "smsbackupreader.h"
#include "snapchatreader.h"
#include "telegramhtmlreader.h"
#include "telegramjsonreader.h"
#include "whatsappdbreader.h"
#include "whatsappreader.h"

namespace Brimlow::ChatLogReaders {

const QList<const ChatLogReader *> &all()
{
    static const WhatsAppDbReader whatsAppDb;
    static const SmsBackupReader sms;
    static const TelegramJsonReader telegramJson;
    static const TelegramHtmlReader telegramHtml;
    static const MessengerReader messenger;
    static const DiscordReader discord;
    static const SlackReader slack;
    static const GoogleChatReader googleChat;
    static const SnapchatReader snapchat;
    static const SkypeReader skype;
    static const SignalJsonReader signalJson;
    static const MailReader mail;
    static const SignalTextReader signalText;
    static const LineReader line;
    static const KakaoTalkReader kakaoTalk;
    static const IrcReader irc;
    static const WhatsAppReader whatsApp;
    static const QList<const ChatLogReader *> readers
        = { &whatsAppDb, &sms, &telegramJson, &telegramHtml, &messenger, &discord, &slack, &googleChat,
              &snapchat, &skype, &signalJson, &mail, &signalText, &line, &kakaoTalk, &irc, &whatsApp };
    return readers;
}

} // namespace Brimlow::ChatLogReaders
