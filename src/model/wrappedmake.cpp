// Wrapped::make runs the message tool, which only the app does: it is
// built with the app's process runner, apart from the document's reading
// and writing that the tool shares.
#include "helpers.h"
#include "wrapped.h"

#include <qcorotask.h>

QCoro::Task<Wrapped> Wrapped::make(BookFile book, std::optional<int> year)
{
    QStringList arguments { QStringLiteral("wrapped") };
    if (year)
        arguments << QStringLiteral("--year") << QString::number(*year);
    const QString input = QString::fromUtf8(book.toJsonBytes());
    // The copy is in the text now; a long book is large enough to count.
    book = BookFile();
    const QByteArray answer = co_await Helpers::run(Helpers::core(), arguments, input);
    co_return fromJson(answer);
}
