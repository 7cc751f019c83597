// One e-mail: headers, encoded words, MIME parts, quotes and signatures.
#include "fuzzing.h"
#include "mailmessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Brimlow::MailMessage;
    const QByteArray bytes = Fuzzing::input(data, size);
    if (const std::optional<MailMessage> mail = MailMessage::parse(bytes)) {
        for (const QString &recipient : mail->recipients)
            mail->nameOf(recipient);
    }
    const QByteArray firstLine = bytes.left(bytes.indexOf('\n'));
    MailMessage::decodeWords(firstLine);
    MailMessage::timeOf(QString::fromUtf8(firstLine));
    MailMessage::newText(QString::fromUtf8(bytes));
    return 0;
}
