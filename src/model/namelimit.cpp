#include "namelimit.h"

#include <QCryptographicHash>
#include <QTextBoundaryFinder>

namespace NameLimit {

QString cut(const QString &name, qsizetype limit)
{
    const QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= limit)
        return name;
    const QString hash
        = QString::fromLatin1(QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex().left(16));
    const qsizetype room = limit - 1 - hash.size();
    QString kept;
    qsizetype used = 0;
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, name);
    qsizetype start = 0;
    while (clusters.toNextBoundary() != -1) {
        const QStringView cluster = QStringView(name).mid(start, clusters.position() - start);
        used += cluster.toUtf8().size();
        if (used > room)
            break;
        kept += cluster;
        start = clusters.position();
    }
    return kept + QLatin1Char('-') + hash;
}

} // namespace NameLimit
