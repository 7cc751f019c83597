// quorvel_fuzz_seeds OUT: writes each fuzz target's seeds into OUT/<target>,
// from the tests' own writers of stores, backups and chat exports and from
// the sample book: small, well-formed inputs that reach deep into each
// reader, for the fuzzer to take apart.
#include "backupwriter.h"
#include "chatexports.h"
#include "chatformats.h"
#include "chatlogreader.h"
#include "fuzzing.h"
#include "mailreader.h"
#include "model/bookfile.h"
#include "plist.h"
#include "typedstreamwriter.h"
#include "wrappeddocument.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <plist/plist.h>
#include <sqlite3.h>

namespace {

class Seeds
{
public:
    explicit Seeds(const QString &out)
        : m_out(out)
    { }

    void add(const QString &target, const QString &name, const QByteArray &bytes)
    {
        const QString safe
            = QString(name).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), "_");
        Fuzzing::writeFile(m_out + QLatin1Char('/') + target + QLatin1Char('/')
                + QString::number(++m_count).rightJustified(3, QLatin1Char('0')) + QLatin1Char('-') + safe,
            bytes);
    }

private:
    QString m_out;
    int m_count = 0;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quorvel_fuzz_seeds: can't read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

// Every sample export of every format: the files each reader takes, and
// the JSON, HTML, lines and mails inside them for the lower readers.
void chatExports(Seeds &seeds, const QString &work)
{
    int sample = 0;
    for (const ChatFormats::Format &format : ChatFormats::all()) {
        for (const auto &write : format.samples) {
            const QString folder = work + QStringLiteral("/chats/") + QString::number(++sample);
            const QString log = write(folder);
            for (const QString &file : ChatFormats::filesOf(format, log)) {
                const QByteArray bytes = readFile(file);
                const QString name = QFileInfo(file).fileName();
                seeds.add(format.target, name, bytes);
                if (name.endsWith(QLatin1String(".json")))
                    seeds.add(QStringLiteral("json_tree"), name, bytes);
                if (name.endsWith(QLatin1String(".html")))
                    seeds.add(QStringLiteral("html_scanner"), name, bytes);
                if (format.target == QLatin1String("whatsapp"))
                    seeds.add(QStringLiteral("whatsapp_line"), name, bytes);
                if (format.target == QLatin1String("mail")) {
                    for (const QByteArray &mail : Brimlow::MailReader::split(bytes))
                        seeds.add(
                            QStringLiteral("mail_message"), name, QByteArray(mail.constData(), mail.size()));
                }
            }
        }
    }
}

void typedStreams(Seeds &seeds)
{
    for (const QString &text : { QStringLiteral("hey"), QStringLiteral("on my way \U0001F44B"),
             QStringLiteral("a longer message, with a line\nbreak and caf\u00E9") })
        seeds.add(QStringLiteral("typedstream"), QStringLiteral("attributed"),
            TypedStreamWriter::attributedString(text));
}

QByteArray asXml(const QByteArray &plist)
{
    const Brimlow::Plist read = Brimlow::Plist::fromBytes(plist);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(read.root(), &xml, &length);
    const QByteArray bytes(xml, qsizetype(length));
    std::free(xml);
    return bytes;
}

// The plists of a plain and of an encrypted backup, binary and as XML, the
// records of their files, and the encrypted one's keybag.
void backups(Seeds &seeds, const QString &work)
{
    for (const auto encryption : { BackupWriter::Encryption::None, BackupWriter::Encryption::Password }) {
        const QString folder = work
            + (encryption == BackupWriter::Encryption::None ? QStringLiteral("/plain")
                                                            : QStringLiteral("/locked"));
        BackupWriter writer(folder, {}, encryption, "pw");
        writer.addFile(QStringLiteral("HomeDomain"), QStringLiteral("Library/SMS/sms.db"), "stored bytes");
        writer.finish();
        for (const char *name : { "Info.plist", "Status.plist", "Manifest.plist" }) {
            const QByteArray bytes = readFile(folder + QLatin1Char('/') + QLatin1String(name));
            seeds.add(QStringLiteral("plist"), QLatin1String(name), bytes);
            seeds.add(QStringLiteral("plist"), QLatin1String(name) + QStringLiteral(".xml"), asXml(bytes));
        }
        sqlite3 *db = nullptr;
        sqlite3_open((folder + QStringLiteral("/Manifest.db")).toUtf8().constData(), &db);
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT file FROM Files", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            seeds.add(QStringLiteral("plist"), QStringLiteral("record"),
                QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, 0)),
                    sqlite3_column_bytes(statement, 0)));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        if (encryption == BackupWriter::Encryption::Password) {
            const Brimlow::Plist manifest
                = Brimlow::Plist::fromBytes(readFile(folder + QStringLiteral("/Manifest.plist")));
            const auto keybag = Brimlow::Plist::data(Brimlow::Plist::item(manifest.root(), "BackupKeyBag"));
            seeds.add(QStringLiteral("keybag"), QStringLiteral("keybag"), keybag.value());
        }
    }
}

void contacts(Seeds &seeds)
{
    seeds.add(QStringLiteral("vcard"), QStringLiteral("v3.vcf"),
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rivers;Sam;;;\r\nFN:Sam Rivers\r\n"
        "TEL;TYPE=CELL:+1 555 0100\r\nitem1.EMAIL;TYPE=INTERNET:sam@example.com\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Alex;;;\r\nTEL:(555) 0101\r\n  22\r\nEND:VCARD\r\n");
    seeds.add(QStringLiteral("vcard"), QStringLiteral("v21.vcf"),
        "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=\n=C3=BCrgen\n"
        "TEL;HOME;VOICE:+49 30 1234\nEND:VCARD\n");
    seeds.add(QStringLiteral("vcard"), QStringLiteral("v4.vcf"),
        "BEGIN:VCARD\nVERSION:4.0\nN;SORT-AS=\"Jo\":Jones;Jo;;;\nTEL;VALUE=uri;TYPE=\"voice,cell\":tel:+1-"
        "555-0102\n"
        "EMAIL;PREF=1:jo@example.org\nEND:VCARD\n");
}

// The sample book cut to its first messages, as the tool exports it and
// with everything the app adds: edits, a design and an order.
void books(Seeds &seeds)
{
    QJsonObject book
        = QJsonDocument::fromJson(readFile(QStringLiteral(QUORVEL_SOURCE_DIR "/samples/sample-book.json")))
              .object();
    book.insert(QStringLiteral("messages"),
        QJsonArray::fromVariantList(
            book.value(QStringLiteral("messages")).toArray().toVariantList().mid(0, 12)));
    seeds.add(QStringLiteral("book_file"), QStringLiteral("exported.json"),
        QJsonDocument(book).toJson(QJsonDocument::Compact));

    const QJsonArray messages = book.value(QStringLiteral("messages")).toArray();
    const QString first = messages.first()[QStringLiteral("id")].toString();
    const QString day = messages.last()[QStringLiteral("at")].toString().left(10);
    book.insert(QStringLiteral("edits"),
        QJsonDocument::fromJson(QStringLiteral(R"({
        "range": {"from": "%2"}, "hidden": ["%1"], "text": {"%1": "changed"},
        "emphasis": [{"id": "%1", "phrase": "the"}], "words": ["hike"],
        "chapters": [{"start": "%2", "title": "Spring"}],
        "inserts": [{"before": "%2", "kind": "page", "text": "A page of our own"}],
        "pins": [{"id": "%1", "page": 3}]})")
                                    .arg(first, day)
                                    .toUtf8())
            .object());
    book.insert(QStringLiteral("design"),
        QJsonDocument::fromJson(R"({"font": "pagella", "chapters": "month",
        "receipt": true, "cover": {"style": "cloth", "color": "oxblood"}})")
            .object());
    book.insert(QStringLiteral("order"),
        QJsonDocument::fromJson(QStringLiteral(R"({"binding": "hardcover",
        "shipping": "economy", "recipient": "me", "addons": ["moments"],
        "moments": [{"addon": "moments", "day": "%1", "title": "The summit"}]})")
                                    .arg(day)
                                    .toUtf8())
            .object());
    const QByteArray edited = QJsonDocument(book).toJson(QJsonDocument::Compact);
    // A seed the reader refuses would start the fuzzer nowhere.
    BookFile::fromJson(edited);
    seeds.add(QStringLiteral("book_file"), QStringLiteral("edited.json"), edited);
}

// The Wrapped the tool makes of the whole sample book and of one year.
void wrapped(Seeds &seeds)
{
    const BookFile book
        = BookFile::fromJson(readFile(QStringLiteral(QUORVEL_SOURCE_DIR "/samples/sample-book.json")));
    for (const std::optional<int> year : { std::optional<int>(), std::optional<int>(2024) }) {
        QBuffer document;
        document.open(QIODevice::WriteOnly);
        Brimlow::WrappedDocument::make(book, year).write(document);
        seeds.add(QStringLiteral("wrapped"),
            year ? QStringLiteral("year.json") : QStringLiteral("whole.json"), document.data());
    }
}

void forms(Seeds &seeds)
{
    seeds.add(QStringLiteral("multipart"), QStringLiteral("claim"),
        "multipart/form-data; boundary=\"----form7\"\n"
        "------form7\r\nContent-Disposition: form-data; name=\"kind\"\r\n\r\nshare\r\n"
        "------form7\r\nContent-Disposition: form-data; name=\"screenshot\"; filename=\"shot "
        "\\\"1\\\".png\"\r\n"
        "Content-Type: image/png\r\n\r\n\x89PNG\r\n\x1A\n\r\n------form7--\r\n");

    const auto request = [&](const char *name, const QByteArray &bytes) {
        seeds.add(QStringLiteral("service"), QLatin1String(name), bytes);
    };
    request("pricing", "GET /api/pricing\n\n");
    request("gift", "GET /api/gifts/BIRTHDAY-2024\n\n");
    request("order",
        "POST /api/orders\nContent-Type: application/json\n\n"
        R"({"title": "You & Sam", "binding": "hardcover", "shipping": "economy", "addons": ["moments"],)"
        R"( "volumePages": [120, 96], "email": "robin@example.com", "giftCode": "GIFT25", "install": "i-1"})");
    request("submit",
        "POST /api/orders/o1/submit\nAuthorization: Bearer t\n\n"
        R"({"email": "robin@example.com", "address": {"name": "Robin", "line1": "1 Main St", "line2": "",)"
        R"( "city": "Springfield", "state": "IL", "postal_code": "62701", "phone": "555", "country": "US"}})");
    request("upload", "PUT /uploads/o1/interior-1.pdf\nContent-Type: application/pdf\n\n%PDF-1.4\n%%EOF\n");
    request("referrals", "POST /api/referrals\n\n{\"install\": \"i-1\"}");
    request("discount", "GET /api/discounts/welcome10\n\n");
    request("event", "POST /api/events\n\n{\"step\": \"opened\"}");
    request("claim",
        "POST /api/submissions\nContent-Type: multipart/form-data; boundary=b\n\n"
        "--b\r\nContent-Disposition: form-data; name=\"kind\"\r\n\r\nshare\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"install\"\r\n\r\ni-1\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"url\"\r\n\r\nhttps://example.com/p\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\nrobin@example.com\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"agree\"\r\n\r\non\r\n--b--\r\n");
    request("inbox", "POST /api/inbox\n\n");
    request("inbox-file", "PUT /api/inbox/abc/file?upload=u1\nx-inbox-token: t\nx-name: chat.txt\n\nhello");
    request("inbox-done",
        "POST /api/inbox/abc/parts/done?upload=u1\nx-inbox-token: t\n\n"
        R"({"parts": [{"partNumber": 1, "etag": "e1"}]})");
    request("cover",
        "POST /api/covers/generate\n\n"
        R"({"prompt": "a mountain at dawn", "style": "linework", "install": "i-1", "images": ["iVBORw0KGgo="]})");
    request("pay", "POST /pay/o1\nContent-Type: application/x-www-form-urlencoded\n\ncard=4242");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_fuzz_seeds OUT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir(out).removeRecursively();
    QTemporaryDir work;
    Seeds seeds(out);
    chatExports(seeds, work.path());
    typedStreams(seeds);
    backups(seeds, work.path());
    contacts(seeds);
    books(seeds);
    wrapped(seeds);
    forms(seeds);
    return 0;
}
