#include "whatsappnotices.h"

#include "mediakind.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace Brimlow::WhatsAppNotices {

namespace {

QRegularExpression pattern(const QString &source)
{
    return QRegularExpression(
        source, QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

// "(file attached)" after a file's name, in lower case.
bool isAttachedWord(const QString &words)
{
    static const QSet<QString> known = { QStringLiteral("file attached"), QStringLiteral("datei angehängt"),
        QStringLiteral("fichier joint"), QStringLiteral("archivo adjunto"), QStringLiteral("file allegato"),
        QStringLiteral("arquivo anexado"), QStringLiteral("ficheiro anexado"),
        QStringLiteral("bestand bijgevoegd"), QStringLiteral("dosya ekli"), QStringLiteral("dosya eklendi") };
    return known.contains(words);
}

// "omitted" after the kind of a file left out, in lower case.
bool isOmittedWord(const QString &word)
{
    static const QSet<QString> known = { QStringLiteral("omitted"), QStringLiteral("weggelassen"),
        QStringLiteral("ausgelassen"), QStringLiteral("absente"), QStringLiteral("absent"),
        QStringLiteral("omis"), QStringLiteral("omise"), QStringLiteral("omitido"), QStringLiteral("omitida"),
        QStringLiteral("omesso"), QStringLiteral("omessa"), QStringLiteral("omessi"),
        QStringLiteral("ocultado"), QStringLiteral("ocultada"), QStringLiteral("weggelaten"),
        QStringLiteral("dahil edilmedi") };
    return known.contains(word);
}

// The iPhone app's "<attached: 00000012-PHOTO-2025-01-31-21-44-00.jpg>", also
// written with spaces inside the brackets.
const QRegularExpression &attachedTag()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        R"(^<\s*(?:attached|Anhang|angehängt|pièce jointe|joint|adjunto|allegato|anexado|anexo|bijgevoegd|)"
        R"(bijlage|ekli|eklendi)\s*:\s*(.+?)>$)"));
    return found;
}

// Android's "<Media omitted>".
const QRegularExpression &mediaOmitted()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        R"(^<(?:[^<>]*\s)?(?:Media|Medien|Médias?|Multimedia|Mídia|Medya|Archivo|Fichier)(?:\s[^<>]*)?>$)"));
    return found;
}

QString kindNamed(const QString &word)
{
    static const QHash<QString, QString> kinds = {
        { QStringLiteral("image"), MediaKind::photo() },
        { QStringLiteral("bild"), MediaKind::photo() },
        { QStringLiteral("imagen"), MediaKind::photo() },
        { QStringLiteral("immagine"), MediaKind::photo() },
        { QStringLiteral("imagem"), MediaKind::photo() },
        { QStringLiteral("afbeelding"), MediaKind::photo() },
        { QStringLiteral("görüntü"), MediaKind::photo() },
        { QStringLiteral("fotoğraf"), MediaKind::photo() },
        { QStringLiteral("foto"), MediaKind::photo() },
        { QStringLiteral("photo"), MediaKind::photo() },
        { QStringLiteral("video"), MediaKind::video() },
        { QStringLiteral("vidéo"), MediaKind::video() },
        { QStringLiteral("vídeo"), MediaKind::video() },
        { QStringLiteral("gif"), MediaKind::video() },
        { QStringLiteral("audio"), MediaKind::audio() },
        { QStringLiteral("áudio"), MediaKind::audio() },
        { QStringLiteral("ses"), MediaKind::audio() },
        { QStringLiteral("sticker"), MediaKind::sticker() },
        { QStringLiteral("figurinha"), MediaKind::sticker() },
        { QStringLiteral("adesivo"), MediaKind::sticker() },
        { QStringLiteral("autocollant"), MediaKind::sticker() },
        { QStringLiteral("çıkartma"), MediaKind::sticker() },
        { QStringLiteral("document"), MediaKind::file() },
        { QStringLiteral("dokument"), MediaKind::file() },
        { QStringLiteral("documento"), MediaKind::file() },
        { QStringLiteral("belge"), MediaKind::file() },
        { QStringLiteral("contact card"), MediaKind::contact() },
        { QStringLiteral("kontaktkarte"), MediaKind::contact() },
        { QStringLiteral("carte de contact"), MediaKind::contact() },
        { QStringLiteral("tarjeta de contacto"), MediaKind::contact() },
        { QStringLiteral("scheda contatto"), MediaKind::contact() },
        { QStringLiteral("cartão do contato"), MediaKind::contact() },
        { QStringLiteral("cartão de contato"), MediaKind::contact() },
        { QStringLiteral("contactkaart"), MediaKind::contact() },
        { QStringLiteral("kişi kartı"), MediaKind::contact() },
    };
    return kinds.value(word.toLower());
}

// "Max Caulfield.vcf", and the iPhone app's "00000012-Max Caulfield.vcf":
// WhatsApp names a shared card after the contact.
QString contactNamed(const QString &fileName)
{
    static const QRegularExpression numbered(QStringLiteral(R"(^\d{8}-)"));
    QString name = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
    name.remove(numbered);
    return name.trimmed();
}

const QRegularExpression &edited()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        R"(\s*[\x{200E}]?<(?:This message was edited|Diese Nachricht wurde bearbeitet|Ce message a été modifié|)"
        R"(Se editó este mensaje\.?|Questo messaggio è stato modificato|Mensagem editada|)"
        R"(Esta mensagem foi editada|Dit bericht is bewerkt|Bu mesaj düzenlendi)>$)"));
    return found;
}

const QRegularExpression &encrypted()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        // The stems cover the older notice too ("secured with end-to-end
        // encryption", "mit Ende-zu-Ende-Verschlüsselung geschützt").
        R"(end-to-end[- ]encrypt|Ende-zu-Ende-verschlüssel|chiffr\w* de bout en bout|)"
        R"(cifrad\w* de extremo a extremo|crittograf\w* end-to-end|criptografia de ponta[- ]a[- ]ponta|)"
        R"(encriptad\w* ponto[- ]a[- ]ponto|end-to-end versleutel|uçtan uca şifrel)"));
    return found;
}

// WhatsApp's notice sentences, a pattern per language: the current one
// ("Messages and calls are end-to-end encrypted.") and the older one written
// where encryption began ("Messages to this chat and calls are now secured
// with end-to-end encryption."). The sentence must end where the notice's
// does, so "Messages and calls are end-to-end encrypted, they say" is no
// notice; what WhatsApp adds after it ("Tap for more info.") varies.
const QRegularExpression &wholeEncrypted()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        R"(^(?:)"
        // English
        R"(Messages (?:(?:you send )?to this (?:chat|group) )?(?:and calls )?are )"
        R"((?:now secured with end-to-end encryption|end-to-end encrypted)|)"
        // German
        R"(Nachrichten(?: und Anrufe| an diese Gruppe| in diesem Chat sowie Anrufe|)"
        R"(, die du (?:in diesem Chat|an diese Gruppe) sendest,(?: sowie Anrufe)?) sind )"
        R"((?:jetzt mit Ende-zu-Ende-Verschlüsselung geschützt|Ende-zu-Ende-verschlüsselt)|)"
        // French
        R"(Les messages (?:et les appels|(?:envoyés|que vous envoyez) dans (?:cette discussion|ce groupe))"
        R"((?: et les appels)?) sont (?:chiffrés de bout en bout|)"
        R"(désormais protégés (?:avec|par) (?:le )?chiffrement de bout en bout)|)"
        // Spanish
        R"(Los mensajes (?:y (?:las )?llamadas(?: en este chat)?|(?:en|que envías a) este (?:chat|grupo))"
        R"((?: y (?:las )?llamadas)?) (?:están cifrados de extremo a extremo|)"
        R"(ahora están protegidos con (?:el )?cifrado de extremo a extremo)|)"
        // Italian
        R"(I messaggi (?:e le chiamate|inviati a quest[ao] (?:chat|gruppo)(?: e le chiamate)?) sono )"
        R"((?:crittografati end-to-end|ora protetti con (?:la )?crittografia end-to-end)|)"
        // Portuguese
        R"(As mensagens (?:e (?:as )?(?:chamadas|ligações)|enviadas para (?:esta conversa|este grupo))"
        R"((?: e (?:as )?(?:chamadas|ligações))?) (?:(?:agora )?são protegidas com (?:a )?)"
        R"(criptografia de ponta[- ]a[- ]ponta(?: e ficam somente entre você e os participantes desta )"
        R"(conversa)?|estão encriptadas ponto[- ]a[- ]ponto)|)"
        // Dutch
        R"(Berichten (?:en gesprekken|die naar deze (?:chat|groep) worden (?:verzonden|gestuurd))"
        R"((?: en gesprekken)?) (?:worden end-to-end versleuteld|)"
        R"(zijn (?:nu )?beveiligd met end-to-end versleuteling)|)"
        // Turkish
        R"((?:Mesajlar ve aramalar|Bu (?:sohbete|gruba) gönderilen mesajlar(?: ve aramalar)?) )"
        R"((?:uçtan uca şifrelidir|artık uçtan uca şifreleme ile korunmaktadır))"
        R"()\.(?:\s|$))"));
    return found;
}

// Group events and calls, a pattern per language. They are looked for only
// in texts behind the iPhone app's invisible mark, so a person's own words
// are never taken for one.
const QRegularExpression &event()
{
    static const QRegularExpression found = pattern(QStringLiteral(
        // English
        R"(created (?:the )?group|\badded\b|\bremoved\b|^(?:.+ )?left$|joined using|joined from|)"
        R"(changed (?:the|this|their|your) |deleted this group's icon|security code|^Missed .*call|)"
        R"(disappearing messages|now an admin|no longer an admin|Waiting for this message|pinned a message|)"
        // German
        R"(hat die Gruppe|hast die Gruppe|erstellt\.?$|hinzugefügt\.?$|entfernt\.?$|verlassen\.?$|)"
        R"(beigetreten\.?$|geändert\.?$|Sicherheitsnummer|^Verpasster .*anruf|selbstlöschende|)"
        R"(jetzt Admin|Warte auf diese Nachricht|)"
        // French
        R"(a créé le groupe|avez créé le groupe|a ajouté|avez ajouté|vous a ajouté|a retiré|avez retiré|)"
        R"(vous a retiré|est parti|êtes parti|a quitté|avez quitté|a rejoint|avez rejoint|a modifié|)"
        R"(avez modifié|a changé|avez changé|code de sécurité|^Appel .*manqué|messages éphémères|)"
        R"(désormais admin|En attente de ce message|)"
        // Spanish
        R"(creó el grupo|creaste el grupo|añadió|añadiste|agregó|agregaste|eliminó a|eliminaste a|)"
        R"(te eliminó|salió|saliste|se unió|te uniste|cambió|cambiaste|código de seguridad|)"
        R"(^Llamada .*perdida|^Videollamada perdida|mensajes temporales|ahora eres admin|)"
        R"(Esperando este mensaje|)"
        // Italian
        R"(ha creato il gruppo|hai creato il gruppo|ha aggiunto|hai aggiunto|ti ha aggiunto|ha rimosso|)"
        R"(hai rimosso|ti ha rimosso|è uscit|sei uscit|ha abbandonato|si è unit|ti sei unit|ha cambiato|)"
        R"(hai cambiato|ha modificato|hai modificato|codice di sicurezza|^Chiamata .*persa|)"
        R"(^Videochiamata persa|messaggi effimeri|ora sei amministratore|In attesa di questo messaggio|)"
        // Portuguese
        R"(criou o grupo|adicionou|removeu|saiu$|entrou usando|mudou|alterou|código de segurança|)"
        R"(^Chamada .*perdida|mensagens temporárias|agora é admin|Aguardando mensagem|)"
        // Dutch
        R"(aangemaakt$|toegevoegd$|verwijderd$|verlaten$|is vertrokken|neemt deel via|lid geworden via|)"
        R"(gewijzigd$|beveiligingscode|^Gemiste .*(?:oproep|gesprek)|verdwijnende berichten|nu beheerder|)"
        R"(Wachten op dit bericht|)"
        // Turkish
        R"(oluşturdu(?:nuz)?$|ekledi(?:niz)?$|çıkardı(?:nız)?$|ayrıldı(?:nız)?$|katıldı(?:nız)?$|)"
        R"(değiştirdi(?:niz)?$|güvenlik kodu|^Cevapsız .*arama|süreli mesajlar|artık yönetici|)"
        R"(Bu mesaj bekleniyor)"));
    return found;
}

} // namespace

std::optional<Attachment> attachment(QStringView text)
{
    const auto named = [](QStringView name) -> std::optional<Attachment> {
        const QString file = name.trimmed().toString();
        if (file.isEmpty())
            return std::nullopt;
        const QString kind = MediaKind::fromFileName(file);
        return Attachment { kind, file, kind == MediaKind::contact() ? contactNamed(file) : QString() };
    };
    if (text.endsWith(QLatin1Char(')'))) {
        const qsizetype open = text.lastIndexOf(QLatin1Char('('));
        if (open < 1 || !isAttachedWord(text.mid(open + 1, text.size() - open - 2).toString().toLower()))
            return std::nullopt;
        return named(text.left(open));
    }
    if (text.endsWith(QLatin1Char('>'))) {
        if (const auto found = attachedTag().match(text); found.hasMatch())
            return named(found.capturedView(1));
        if (text.endsWith(QLatin1String("<attached>")))
            return named(text.chopped(10));
        if (mediaOmitted().match(text).hasMatch())
            return Attachment { MediaKind::file(), {}, {} };
        return std::nullopt;
    }
    // "image omitted", "Bild weggelassen", "görüntü dahil edilmedi": the
    // kind is the word or words before; "Plan.pdf • 3 pages document
    // omitted" names more than the kind.
    const QStringView lastWord = text.mid(text.lastIndexOf(QLatin1Char(' ')) + 1);
    if (lastWord.size() > 11 || lastWord.size() == text.size()
        || !(isOmittedWord(lastWord.toString().toLower()) || lastWord == QLatin1String("edilmedi")))
        return std::nullopt;
    QList<QStringView> words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString omitted = words.takeLast().toString().toLower();
    if (omitted == QLatin1String("edilmedi") && words.size() >= 2
        && words.last().compare(QLatin1String("dahil"), Qt::CaseInsensitive) == 0) {
        words.removeLast();
        omitted.prepend(QLatin1String("dahil "));
    }
    if (!isOmittedWord(omitted))
        return std::nullopt;
    for (qsizetype count = qMin<qsizetype>(3, words.size()); count >= 1; --count) {
        QStringList kindWords;
        for (qsizetype i = words.size() - count; i < words.size(); ++i)
            kindWords.append(words.at(i).toString());
        const QString kind = kindNamed(kindWords.join(QLatin1Char(' ')));
        if (!kind.isEmpty())
            return Attachment { kind, {}, {} };
    }
    return std::nullopt;
}

bool isDeleted(QStringView text)
{
    static const QSet<QString> notices = { QStringLiteral("this message was deleted"),
        QStringLiteral("you deleted this message"), QStringLiteral("diese nachricht wurde gelöscht"),
        QStringLiteral("du hast diese nachricht gelöscht"), QStringLiteral("ce message a été supprimé"),
        QStringLiteral("vous avez supprimé ce message"), QStringLiteral("se eliminó este mensaje"),
        QStringLiteral("eliminaste este mensaje"), QStringLiteral("este mensaje fue eliminado"),
        QStringLiteral("questo messaggio è stato eliminato"),
        QStringLiteral("hai eliminato questo messaggio"), QStringLiteral("esta mensagem foi apagada"),
        QStringLiteral("você apagou esta mensagem"), QStringLiteral("apagou esta mensagem"),
        QStringLiteral("mensagem apagada"), QStringLiteral("dit bericht is verwijderd"),
        QStringLiteral("je hebt dit bericht verwijderd"), QStringLiteral("u hebt dit bericht verwijderd"),
        QStringLiteral("bu mesaj silindi"), QStringLiteral("bu mesajı sildiniz"),
        QStringLiteral("bu mesajı sildin") };
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.size() >= 16 && text.size() <= 40 && notices.contains(text.toString().toLower());
}

bool isEncryptionNotice(QStringView text)
{
    return text.size() < 400 && encrypted().match(text).hasMatch();
}

bool isWholeEncryptionNotice(QStringView text)
{
    return text.size() < 400 && wholeEncrypted().match(text).hasMatch();
}

bool isEvent(QStringView text)
{
    return event().match(text).hasMatch();
}

QString withoutEditedMark(const QString &text)
{
    if (!text.endsWith(QLatin1Char('>')))
        return text;
    QString plain = text;
    plain.remove(edited());
    return plain;
}

} // namespace Brimlow::WhatsAppNotices
