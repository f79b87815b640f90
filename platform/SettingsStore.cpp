#include "platform/SettingsStore.h"

#include "platform/Folders.h"

#include <QSettings>

namespace q9::settings {

namespace {

QSettings store() { return QSettings(folders::configFolder() + "settings.ini", QSettings::IniFormat); }

} // namespace

QString productKey() { return QStringLiteral("SOFTWARE/") + folders::kProductName; }

int readInt(const QString& keyPath, const QString& name, int fallback)
{
    bool ok = false;
    const int v = store().value(keyPath + "/" + name).toInt(&ok);
    return ok ? v : fallback;
}

void writeInt(const QString& keyPath, const QString& name, int value)
{
    QSettings s = store();
    s.setValue(keyPath + "/" + name, value);
    s.sync();
}

QString readText(const QString& keyPath, const QString& name, const QString& fallback)
{
    return store().value(keyPath + "/" + name, fallback).toString();
}

} // namespace q9::settings
