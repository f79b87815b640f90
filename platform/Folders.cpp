#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace q9::folders {

namespace {

QString withSlash(QString path)
{
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

QString ensured(const QString& path)
{
    QDir().mkpath(path);
    return withSlash(path);
}

QString fromEnv(const char* name)
{
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? QString() : QString::fromLocal8Bit(v);
}

} // namespace

QString programFolder()
{
    // Beside the executable in a build tree; installed, the files lie in share/q9zen beside bin.
    const QString here = withSlash(QCoreApplication::applicationDirPath());
    if (QDir(here + "skin").exists())
        return here;
    const QString installed = QDir::cleanPath(here + "../share/q9zen");
    return QDir(installed + "/skin").exists() ? withSlash(installed) : here;
}
QString skinFolder() { return programFolder() + "skin/"; }
QString fontFolder() { return programFolder() + "Font/"; }
QString defaultDataFolder() { return programFolder() + "DefaultData/"; }
QString updateFolder() { return programFolder() + "Update/"; }
QString sdkFolder() { return programFolder() + "SDK/"; }

QString userDataFolder()
{
    const QString over = fromEnv("Q9ZEN_DATA_DIR");
    if (!over.isEmpty())
        return ensured(over);
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/" + kProductName);
}

QString runtimeFolder()
{
    QString dir = fromEnv("Q9ZEN_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + "/q9zen-" + qEnvironmentVariable("USER", "user");
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return withSlash(dir);
}

QString configFolder()
{
    const QString over = fromEnv("Q9ZEN_CONFIG_DIR");
    if (!over.isEmpty())
        return ensured(over);
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" + kProductName);
}

} // namespace q9::folders
