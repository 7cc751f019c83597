#include "chatformats.h"

#include "chatexports.h"
#include "chatfile.h"
#include "chatlog.h"
#include "discordreader.h"
#include "exportshapes.h"
#include "failure.h"
#include "fuzzing.h"
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
#include "whatsappreader.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cstdlib>

using namespace Brimlow;

namespace ChatFormats {

namespace {

// As much of a file as the tool shows the readers to choose one.
constexpr qsizetype HeadSize = 64 * 1024;

// WhatsApp's text export has no writer among the tests' exports: the two
// line forms, with a system line, a continued message and attachments.
QString whatsAppIPhone(const QString &folder)
{
    const QString path = folder + QStringLiteral("/WhatsApp Chat - Sam/_chat.txt");
    ChatExports::writeFile(path,
        "[05/03/2024, 21:14:00] Sam: \xE2\x80\x8EMessages and calls are end-to-end encrypted.\n"
        "[05/03/2024, 21:14:10] Sam: hey caf\xC3\xA9\n"
        "[05/03/2024, 21:15:00] Robin: on my way \xF0\x9F\x91\x8B\nsecond line\n"
        "[06/03/2024, 08:00:00] Sam: \xE2\x80\x8E<attached: 00000012-PHOTO-2024-03-06-08-00-00.jpg>\n");
    ChatExports::writeFile(
        folder + QStringLiteral("/WhatsApp Chat - Sam/00000012-PHOTO-2024-03-06-08-00-00.jpg"),
        ChatExports::photoBytes());
    return path;
}

QString whatsAppAndroid(const QString &folder)
{
    const QString path = folder + QStringLiteral("/WhatsApp Chat with Sam.txt");
    ChatExports::writeFile(path,
        "3/5/24, 9:14 PM - Messages and calls are end-to-end encrypted.\n"
        "3/5/24, 9:14 PM - Sam: hey caf\xC3\xA9\n"
        "3/5/24, 9:15 PM - Robin: on my way \xF0\x9F\x91\x8B\n"
        "3/6/24, 8:00 AM - Sam: IMG-20240306-WA0001.jpg (file attached)\nthe summit!\n"
        "3/6/24, 8:01 AM - Robin: <Media omitted>\n");
    return path;
}

QString whatsAppTwentyFourHours(const QString &folder)
{
    const QString path = folder + QStringLiteral("/chat.txt");
    ChatExports::writeFile(path,
        "\xEF\xBB\xBF"
        "05.03.24, 21:14 - Sam: hey\n"
        "05.03.24, 21:15 - Robin: on my way\n"
        "13.03.24, 08:00 - Sam: the summit!\n");
    return path;
}

// The exports of other locales and clients the tests read whole.
QList<std::function<QString(const QString &)>> writersOf(const QList<ExportShapes::Shape> &shapes)
{
    QList<std::function<QString(const QString &)>> writers;
    for (const ExportShapes::Shape &shape : shapes)
        writers.append(shape.write);
    return writers;
}

template<typename Reader> const ChatLogReader *reader()
{
    static const Reader instance;
    return &instance;
}

} // namespace

const QList<Format> &all()
{
    using namespace ChatExports;
    static const QList<Format> formats = {
        { QStringLiteral("whatsapp"), reader<WhatsAppReader>(),
            QList<std::function<QString(const QString &)>> {
                whatsAppIPhone, whatsAppAndroid, whatsAppTwentyFourHours }
                + writersOf(ExportShapes::whatsAppLocales()) },
        { QStringLiteral("line"), reader<LineReader>(), { line, ExportShapes::lineUnquoted().write } },
        { QStringLiteral("kakaotalk"), reader<KakaoTalkReader>(),
            { kakaoTalkPc, kakaoTalkPhone, kakaoTalkCsv } },
        { QStringLiteral("irc"), reader<IrcReader>(),
            { irssi, weechat, bracketedIrc, ExportShapes::ircMixedEncodings().write,
                ExportShapes::dircproxy().write } },
        { QStringLiteral("signal_text"), reader<SignalTextReader>(), { signalMarkdown, sigtopText } },
        { QStringLiteral("signal_json"), reader<SignalJsonReader>(), { signalDataJson, sigtopJson } },
        { QStringLiteral("mail"), reader<MailReader>(),
            { mbox, emlFolder, ExportShapes::gmailWithSubjectsAlone().write,
                ExportShapes::thunderbirdOfSubjectsAlone().write } },
        { QStringLiteral("telegram_json"), reader<TelegramJsonReader>(), { telegramChat, telegramAccount } },
        { QStringLiteral("telegram_html"), reader<TelegramHtmlReader>(), { telegramHtml } },
        { QStringLiteral("messenger"), reader<MessengerReader>(),
            { instagram, messengerNewer, ExportShapes::instagramPolls().write,
                ExportShapes::messengerPolls().write } },
        { QStringLiteral("discord"), reader<DiscordReader>(), { discordJson, discordCsv } },
        { QStringLiteral("slack"), reader<SlackReader>(), { slack } },
        { QStringLiteral("google_chat"), reader<GoogleChatReader>(), { googleChat } },
        { QStringLiteral("snapchat"), reader<SnapchatReader>(), { snapchat, snapchatOlder } },
        { QStringLiteral("skype"), reader<SkypeReader>(), { skype } },
        { QStringLiteral("sms_backup"), reader<SmsBackupReader>(), { smsBackup } },
    };
    return formats;
}

QStringList filesOf(const Format &format, const QString &log)
{
    QStringList candidates;
    if (QFileInfo(log).isDir()) {
        QDirIterator it(log, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            candidates.append(it.next());
        candidates.sort();
    } else {
        candidates.append(log);
    }
    QStringList files;
    for (const QString &candidate : std::as_const(candidates)) {
        QFile file(candidate);
        if (file.open(QIODevice::ReadOnly) && format.reader->recognises(file.read(HeadSize)))
            files.append(candidate);
    }
    return files;
}

namespace {

struct Sample
{
    const Format *format = nullptr;
    QString log;
    QString root;
    QString file;
    // Every file of the export, by absolute path, read once: the readers
    // find them here, and each input takes the main file's place.
    QHash<QString, QByteArray> files;
};

Sample sampleFor(const QString &target)
{
    for (const Format &format : all()) {
        if (format.target != target)
            continue;
        const QString folder = Fuzzing::scratch() + QStringLiteral("/") + target;
        const QString log = format.samples.first()(folder);
        const QStringList files = filesOf(format, log);
        // A sample its own reader does not take would fuzz nothing.
        if (files.isEmpty())
            std::abort();
        const QFileInfo info(log);
        Sample sample { &format, QDir::cleanPath(info.absoluteFilePath()),
            info.isDir() ? info.absoluteFilePath() : info.absolutePath(), files.first(), {} };
        // Read from the disk: the files are not held in memory yet.
        for (const QString &path : ChatFile::filesUnder(sample.root))
            sample.files.insert(QDir::cleanPath(path), ChatFile::bytes(path));
        sample.file = QDir::cleanPath(QFileInfo(sample.file).absoluteFilePath());
        return sample;
    }
    std::abort();
}

// Senders index the participants or are the user; anything else would be
// read out of bounds by whatever prints the chat.
void check(const Transcript &transcript)
{
    for (const Transcript::Message &message : transcript.messages) {
        if (message.sender < Transcript::Me || message.sender >= transcript.participants.size())
            std::abort();
    }
}

} // namespace

void read(const QString &target, const uint8_t *data, size_t size)
{
    static Sample sample = sampleFor(target);
    const QByteArray bytes = Fuzzing::input(data, size);
    if (!sample.format->reader->recognises(bytes.left(HeadSize)))
        return;
    sample.files[sample.file] = bytes;
    ChatFile::setInMemory(&sample.files);
    const auto onDisk = qScopeGuard([] { ChatFile::setInMemory(nullptr); });
    try {
        ChatLogReader::Context context { sample.root, {}, {} };
        for (const ChatLogReader::Chat &chat : sample.format->reader->read(sample.file, context))
            check(chat.transcript);
    } catch (const Failure &) { }
    try {
        ChatLog log(sample.log);
        for (const Conversation &conversation : log.conversations()) {
            check(log.transcript(conversation.key, std::nullopt));
            if (conversation.people && !conversation.people->isEmpty())
                check(log.transcript(conversation.key, conversation.people->first().name));
        }
    } catch (const Failure &) { }
}

} // namespace ChatFormats
