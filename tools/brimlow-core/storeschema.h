#pragma once

#include <QHash>
#include <QSet>
#include <QString>

namespace Brimlow {

class SqliteDatabase;

// Which tables and columns a Messages store has. Columns come and go with
// the system versions, so queries name a column only where it exists.
class StoreSchema
{
public:
    explicit StoreSchema(SqliteDatabase &database);

    // The tables every version has; without them the file is no Messages store.
    bool isMessagesStore() const;
    bool hasTable(const QString &table) const { return m_columns.contains(table); }
    bool has(const QString &table, const QString &column) const;

    // "alias.column" where the column exists, else the fallback expression.
    QString column(const QString &table, const QString &alias, const QString &column,
        const QString &fallback = QStringLiteral("NULL")) const;

    // The condition that keeps real messages: no reactions, no group events.
    QString messageFilter(const QString &alias) const;

private:
    QHash<QString, QSet<QString>> m_columns;
};

} // namespace Brimlow
