#pragma once

#include "model/defaults.h"

#include <QString>
#include <QTemporaryDir>

// Points the user's defaults at a fresh file for one test and back after.
class ScopedDefaults
{
public:
    ScopedDefaults()
        : m_old(Defaults::standard().fileName())
    {
        Defaults::standard().setFileName(fileName());
    }
    ~ScopedDefaults() { Defaults::standard().setFileName(m_old); }

    QString fileName() const { return m_dir.filePath(QStringLiteral("Quorvel/defaults.json")); }
    Defaults &defaults() const { return Defaults::standard(); }

private:
    QTemporaryDir m_dir;
    QString m_old;
};
