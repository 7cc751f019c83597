#pragma once

#include "ui/formsection.h"

#include <QHash>
#include <QStringList>
#include <functional>

// The rows of a form section that stand for a list in the book, one per
// key, kept across refreshes: a row is made once for its key, moved when
// the list's order changes and removed when its key goes, so a field being
// typed in keeps its focus and cursor while the book changes around it.
template<typename Content> class KeyedRows
{
public:
    using Make = std::function<Content *(const QString &key)>;
    using Update = std::function<void(Content *content, const QString &key)>;

    // Rows for keys (unique) in order, from the section's row offset on.
    void sync(
        FormSection *section, const QStringList &keys, int offset, const Make &make, const Update &update)
    {
        QHash<QString, Entry> kept;
        for (int i = 0; i < keys.size(); ++i) {
            Entry entry = m_rows.take(keys[i]);
            if (!entry.row) {
                entry.content = make(keys[i]);
                entry.row = section->insertRow(offset + i, entry.content);
            } else {
                section->moveRow(entry.row, offset + i);
            }
            update(entry.content, keys[i]);
            kept.insert(keys[i], entry);
        }
        for (const Entry &gone : std::as_const(m_rows))
            delete gone.row;
        m_rows = kept;
    }

    Content *row(const QString &key) const { return m_rows.value(key).content; }
    int count() const { return int(m_rows.size()); }

private:
    struct Entry
    {
        QWidget *row = nullptr;
        Content *content = nullptr;
    };

    QHash<QString, Entry> m_rows;
};
