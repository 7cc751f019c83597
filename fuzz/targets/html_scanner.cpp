// The HTML scanner of the HTML exports: every token and what a reader asks
// of it, and the markup as plain text.
#include "fuzzing.h"
#include "htmlscanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Brimlow::HtmlScanner;
    const QString html = QString::fromUtf8(Fuzzing::input(data, size));
    HtmlScanner scanner(html);
    for (HtmlScanner::Token token = scanner.next(); token != HtmlScanner::Token::End;
         token = scanner.next()) {
        scanner.tagName();
        scanner.isVoid();
        if (token == HtmlScanner::Token::StartTag) {
            scanner.attribute(QLatin1StringView("href"));
            scanner.hasClass(QLatin1StringView("text"));
        } else if (token == HtmlScanner::Token::Text) {
            scanner.text();
        }
    }
    HtmlScanner::plainText(html);
    HtmlScanner::decodeEntities(html);
    return 0;
}
