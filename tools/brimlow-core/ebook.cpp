#include "ebook.h"

#include "epubwriter.h"
#include "failure.h"
#include "options.h"
#include "resolvedbook.h"

#include <QFile>

namespace Brimlow::Ebook {

namespace {

// Text for XML: markup escaped, and the control characters XML 1.0 forbids
// (chat exports carry them) dropped.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')
                    && c != QLatin1Char('\r'))
                || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
                break;
            out += c;
        }
    }
    return out;
}

// A text with its line breaks kept.
QString lines(const QString &text)
{
    return escaped(text).replace(QLatin1Char('\n'), QLatin1String("<br/>"));
}

QString page(const QString &title, const QString &language, const QString &body, const QString &bodyType = {})
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE html>\n"
                          "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                          "xmlns:epub=\"http://www.idpf.org/2007/ops\" lang=\"%1\" xml:lang=\"%1\">\n"
                          "<head><meta charset=\"UTF-8\"/><title>%2</title>"
                          "<link rel=\"stylesheet\" type=\"text/css\" href=\"book.css\"/></head>\n"
                          "<body%3>\n%4</body>\n</html>\n")
        .arg(escaped(language), escaped(title),
            bodyType.isEmpty() ? QString() : QStringLiteral(" epub:type=\"%1\"").arg(bodyType), body);
}

const char *const styleSheet
    = "body { margin: 0 5%; font-family: serif; line-height: 1.4; }\n"
      "h1 { text-align: center; margin: 2em 0 1em; }\n"
      "h2 { text-align: center; font-size: 1em; font-variant: small-caps; margin: 2em 0 1em; "
      "page-break-after: avoid; break-after: avoid; }\n"
      ".cover { margin: 0; padding: 0; text-align: center; }\n"
      ".cover img { max-width: 100%; max-height: 100%; }\n"
      ".title { text-align: center; margin-top: 30%; }\n"
      ".colophon { text-align: center; font-style: italic; }\n"
      ".dedication { text-align: center; margin-top: 4em; font-style: italic; }\n"
      // As in the printed book: the user's messages start at the left
      // margin, everyone else's at one indent on the right, all ragged
      // right; a message's turnover lines hang an em in from its edge.
      ".message { margin: 0.4em 22% 0.4em 0; text-align: left; }\n"
      ".message.them { margin: 0.4em 0 0.4em 22%; }\n"
      ".said p { margin: 0; padding-left: 1em; text-indent: -1em; }\n"
      // A message's name line keeps to its text, and a day's heading to
      // its first message, never alone at the foot of a reader's page.
      ".said { page-break-inside: avoid; break-inside: avoid; }\n"
      ".who { font-weight: bold; font-size: 0.85em; }\n"
      ".time { color: #777; font-size: 0.8em; margin-left: 0.5em; }\n"
      ".media { color: #777; font-style: italic; }\n"
      ".page { margin: 3em 0; text-align: center; font-style: italic; }\n";

QString messageHtml(const ResolvedBook::Entry &entry)
{
    if (entry.page)
        return QStringLiteral("<div class=\"page\"><p>%1</p></div>\n").arg(lines(*entry.page));
    QString html = entry.me ? QStringLiteral("<div class=\"message me\"><div class=\"said\">")
                            : QStringLiteral("<div class=\"message them\"><div class=\"said\">");
    html += QStringLiteral("<p><span class=\"who\">%1</span>").arg(escaped(entry.name));
    if (!entry.time.isEmpty())
        html += QStringLiteral("<span class=\"time\">%1</span>").arg(escaped(entry.time));
    html += QLatin1String("</p>");
    if (!entry.text.isEmpty()) {
        html += QLatin1String("<p>");
        for (const ResolvedBook::Run &run : entry.text)
            html += run.bold ? QStringLiteral("<b>%1</b>").arg(lines(run.text)) : lines(run.text);
        html += QLatin1String("</p>");
    }
    for (const QString &media : entry.media)
        html += QStringLiteral("<p class=\"media\">[%1]</p>").arg(escaped(media));
    return html + QLatin1String("</div></div>\n");
}

QString chapterTitle(const ResolvedBook::Chapter &chapter, qsizetype index)
{
    return chapter.title.isEmpty() ? QStringLiteral("Part %1").arg(index + 1) : chapter.title;
}

QString chapterHtml(const ResolvedBook &book, const ResolvedBook::Chapter &chapter, qsizetype index)
{
    const QString title = chapterTitle(chapter, index);
    QString body = QStringLiteral("<section epub:type=\"chapter\">\n");
    if (!chapter.title.isEmpty())
        body += QStringLiteral("<h1>%1</h1>\n").arg(escaped(chapter.title));
    for (const ResolvedBook::Day &day : chapter.days) {
        body += QStringLiteral("<h2>%1</h2>\n").arg(escaped(day.label.isEmpty() ? day.day : day.label));
        for (const ResolvedBook::Entry &entry : day.entries)
            body += messageHtml(entry);
    }
    body += QLatin1String("</section>\n");
    return page(title, book.language, body);
}

QString titleHtml(const ResolvedBook &book)
{
    QString body = QStringLiteral("<section epub:type=\"titlepage\" class=\"title\">\n<h1>%1</h1>\n")
                       .arg(escaped(book.title));
    if (!book.colophon.isEmpty())
        body += QStringLiteral("<p class=\"colophon\">%1</p>\n").arg(escaped(book.colophon));
    if (!book.dedication.isEmpty()) {
        body += QLatin1String("<div class=\"dedication\">");
        for (const QString &line : book.dedication)
            body
                += QStringLiteral("<p>%1</p>").arg(line.isEmpty() ? QStringLiteral("&#160;") : escaped(line));
        body += QLatin1String("</div>\n");
    }
    body += QLatin1String("</section>\n");
    return page(book.title, book.language, body);
}

QString coverHtml(const ResolvedBook &book)
{
    return page(book.title, book.language,
        QStringLiteral("<div class=\"cover\"><img src=\"cover.png\" alt=\"%1\"/></div>\n")
            .arg(escaped(book.title)),
        QStringLiteral("cover"));
}

QString chapterFile(qsizetype index)
{
    return QStringLiteral("chapter-%1.xhtml").arg(index + 1);
}

QString navHtml(const ResolvedBook &book, bool hasCover)
{
    QString body = QStringLiteral("<nav epub:type=\"toc\" id=\"toc\">\n<h1>Contents</h1>\n<ol>\n");
    body += QStringLiteral("<li><a href=\"title.xhtml\">%1</a></li>\n").arg(escaped(book.title));
    for (qsizetype i = 0; i < book.chapters.size(); ++i)
        body += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                    .arg(chapterFile(i), escaped(chapterTitle(book.chapters[i], i)));
    body += QLatin1String("</ol>\n</nav>\n<nav epub:type=\"landmarks\" hidden=\"\">\n<ol>\n");
    if (hasCover)
        body += QLatin1String("<li><a epub:type=\"cover\" href=\"cover.xhtml\">Cover</a></li>\n");
    body += QLatin1String("<li><a epub:type=\"titlepage\" href=\"title.xhtml\">Title Page</a></li>\n");
    if (!book.chapters.isEmpty())
        body += QStringLiteral("<li><a epub:type=\"bodymatter\" href=\"%1\">Start</a></li>\n")
                    .arg(chapterFile(0));
    body += QLatin1String("</ol>\n</nav>\n");
    return page(book.title, book.language, body);
}

QString packageOpf(const ResolvedBook &book, const Contents &contents)
{
    const bool hasCover = contents.cover.has_value();
    QString metadata = QStringLiteral("<dc:identifier id=\"book-id\">%1</dc:identifier>\n"
                                      "<dc:title>%2</dc:title>\n<dc:language>%3</dc:language>\n")
                           .arg(escaped(contents.id), escaped(book.title), escaped(book.language));
    if (!book.author.isEmpty())
        metadata += QStringLiteral("<dc:creator>%1</dc:creator>\n").arg(escaped(book.author));
    metadata += QStringLiteral("<meta property=\"dcterms:modified\">%1</meta>\n")
                    .arg(contents.modified.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));
    // Older Kindle and Books readers look the cover up by this name.
    if (hasCover)
        metadata += QLatin1String("<meta name=\"cover\" content=\"cover-image\"/>\n");

    QString manifest = QStringLiteral(
        "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
        "<item id=\"css\" href=\"book.css\" media-type=\"text/css\"/>\n"
        "<item id=\"title\" href=\"title.xhtml\" media-type=\"application/xhtml+xml\"/>\n");
    QString spine;
    if (hasCover) {
        manifest += QLatin1String(
            "<item id=\"cover-image\" href=\"cover.png\" media-type=\"image/png\" "
            "properties=\"cover-image\"/>\n"
            "<item id=\"cover\" href=\"cover.xhtml\" media-type=\"application/xhtml+xml\"/>\n");
        spine += QLatin1String("<itemref idref=\"cover\"/>\n");
    }
    spine += QLatin1String("<itemref idref=\"title\"/>\n");
    for (qsizetype i = 0; i < book.chapters.size(); ++i) {
        manifest
            += QStringLiteral("<item id=\"chapter-%1\" href=\"%2\" media-type=\"application/xhtml+xml\"/>\n")
                   .arg(i + 1)
                   .arg(chapterFile(i));
        spine += QStringLiteral("<itemref idref=\"chapter-%1\"/>\n").arg(i + 1);
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
                          "unique-identifier=\"book-id\" xml:lang=\"%1\">\n"
                          "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n%2</metadata>\n"
                          "<manifest>\n%3</manifest>\n<spine>\n%4</spine>\n</package>\n")
        .arg(escaped(book.language), metadata, manifest, spine);
}

const char *const container
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
      "<rootfiles><rootfile full-path=\"OEBPS/package.opf\" "
      "media-type=\"application/oebps-package+xml\"/></rootfiles>\n"
      "</container>\n";

QByteArray readCover(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("The cover picture %1 can't be opened: %2.").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\x89PNG\r\n\x1a\n"))
        throw Failure(QStringLiteral("The cover picture %1 is not a PNG picture.").arg(path));
    return bytes;
}

} // namespace

void write(const ResolvedBook &resolved, const Contents &contents, const QString &path)
{
    // Readers and the EPUB rules want a title on every document.
    ResolvedBook book = resolved;
    if (book.title.trimmed().isEmpty())
        book.title = QStringLiteral("Untitled");
    EpubWriter epub(path);
    epub.add(QStringLiteral("META-INF/container.xml"), container);
    epub.add(QStringLiteral("OEBPS/package.opf"), packageOpf(book, contents).toUtf8());
    epub.add(QStringLiteral("OEBPS/nav.xhtml"), navHtml(book, contents.cover.has_value()).toUtf8());
    epub.add(QStringLiteral("OEBPS/book.css"), styleSheet);
    if (contents.cover) {
        epub.add(QStringLiteral("OEBPS/cover.png"), *contents.cover);
        epub.add(QStringLiteral("OEBPS/cover.xhtml"), coverHtml(book).toUtf8());
    }
    epub.add(QStringLiteral("OEBPS/title.xhtml"), titleHtml(book).toUtf8());
    for (qsizetype i = 0; i < book.chapters.size(); ++i)
        epub.add(QStringLiteral("OEBPS/") + chapterFile(i), chapterHtml(book, book.chapters[i], i).toUtf8());
    epub.finish();
}

void run(const Options &options)
{
    if (options.resolved.isEmpty() || options.out.isEmpty() || options.id.isEmpty())
        throw Failure(QStringLiteral("ebook needs --resolved, --id and --out."), Failure::Kind::Usage);
    const ResolvedBook book = ResolvedBook::read(options.resolved);
    Contents contents { options.id, std::nullopt, QDateTime::currentDateTimeUtc() };
    if (options.cover)
        contents.cover = readCover(*options.cover);
    write(book, contents, options.out);
}

} // namespace Brimlow::Ebook
