#pragma once

#include <QByteArray>
#include <QString>

typedef struct zip zip_t;

namespace Brimlow {

// An EPUB container being written: "mimetype" first and stored, as readers
// find the format by its bytes at a fixed offset; pictures stored as they
// come, every other entry deflated. The file appears at its path only when finish() succeeds.
class EpubWriter
{
public:
    explicit EpubWriter(QString path);
    ~EpubWriter();

    EpubWriter(const EpubWriter &) = delete;
    EpubWriter &operator=(const EpubWriter &) = delete;

    // name is the entry's path inside the container.
    void add(const QString &name, const QByteArray &bytes);
    // Throws Failure when the container can't be written.
    void finish();

private:
    enum class Compression { Stored, Deflated };
    void addEntry(const QString &name, const QByteArray &bytes, Compression compression);

    QString m_path;
    QString m_partial;
    zip_t *m_zip = nullptr;
};

} // namespace Brimlow
