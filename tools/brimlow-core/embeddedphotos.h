#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace Brimlow {

// Photos that an export carries inside itself (an SMS backup's pictures, an
// e-mail's attachments), written into a folder beside the book so that the
// book can point at them.
class EmbeddedPhotos
{
public:
    explicit EmbeddedPhotos(const QString &folder);

    // The file the photo was written to; empty when it could not be.
    // name suggests the extension.
    QString save(const QByteArray &data, const QString &name);

    // The files this export wrote, so a failed export can take them back.
    QStringList written() const { return m_written; }

private:
    QString m_folder;
    QHash<QByteArray, QString> m_done;
    QStringList m_written;
};

} // namespace Brimlow
