#include "storeschema.h"

#include "sqlitedatabase.h"

namespace Brimlow {

StoreSchema::StoreSchema(SqliteDatabase &database)
{
    const QStringList tables = { QStringLiteral("message"), QStringLiteral("handle"), QStringLiteral("chat"),
        QStringLiteral("chat_message_join"), QStringLiteral("chat_handle_join"), QStringLiteral("attachment"),
        QStringLiteral("message_attachment_join") };
    for (const QString &table : tables) {
        if (!database.hasTable(table))
            continue;
        QSet<QString> columns;
        for (const QString &name : database.columns(table))
            columns.insert(name.toLower());
        m_columns.insert(table, columns);
    }
}

bool StoreSchema::has(const QString &table, const QString &column) const
{
    return m_columns.value(table).contains(column.toLower());
}

bool StoreSchema::isMessagesStore() const
{
    return has(QStringLiteral("message"), QStringLiteral("date"))
        && has(QStringLiteral("message"), QStringLiteral("is_from_me"))
        && has(QStringLiteral("message"), QStringLiteral("handle_id"))
        && has(QStringLiteral("message"), QStringLiteral("text"))
        && has(QStringLiteral("handle"), QStringLiteral("id")) && hasTable(QStringLiteral("chat"))
        && has(QStringLiteral("chat_message_join"), QStringLiteral("chat_id"))
        && has(QStringLiteral("chat_message_join"), QStringLiteral("message_id"));
}

QString StoreSchema::column(
    const QString &table, const QString &alias, const QString &column, const QString &fallback) const
{
    return has(table, column) ? alias + QLatin1Char('.') + column : fallback;
}

QString StoreSchema::messageFilter(const QString &alias) const
{
    QString filter = QStringLiteral("1");
    // Tapbacks and their removals point at another message; item types other
    // than 0 are members joining, renames and the like.
    if (has(QStringLiteral("message"), QStringLiteral("associated_message_type")))
        filter += QStringLiteral(" AND IFNULL(%1.associated_message_type, 0) = 0").arg(alias);
    if (has(QStringLiteral("message"), QStringLiteral("item_type")))
        filter += QStringLiteral(" AND IFNULL(%1.item_type, 0) = 0").arg(alias);
    return filter;
}

} // namespace Brimlow
