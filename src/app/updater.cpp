#include "updater.h"

Updater::Updater(const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_started(!key.isEmpty())
{ }

QString Updater::buildKey()
{
    return QStringLiteral(QUORVEL_PUBLIC_ED_KEY);
}

void Updater::checkForUpdates()
{
    if (m_started)
        emit checkRequested();
}
