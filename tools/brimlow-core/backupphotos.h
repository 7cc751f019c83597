#pragma once

#include "photolocator.h"

#include <QHash>

namespace Brimlow {

class Backup;

// Photos of an iPhone's store: copied out of the backup (decrypted when it
// is encrypted) into a folder beside the book.
class BackupPhotos : public PhotoLocator
{
public:
    BackupPhotos(Backup &backup, const QString &folder);

    QString locate(const QString &storedPath) override;

    // The files this export wrote, so a failed export can take them back.
    QStringList written() const { return m_written; }

private:
    Backup &m_backup;
    QString m_folder;
    QHash<QString, QString> m_done;
    QStringList m_written;
};

} // namespace Brimlow
