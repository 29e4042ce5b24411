#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace kavio::qt {

QString MutexName(const QString& executablePath)
{
    QString title = QFileInfo(executablePath).fileName();
    title = title.left(title.indexOf(QLatin1Char('.')) < 0 ? title.size()
                                                           : title.indexOf(QLatin1Char('.')));
    if (title.size() > 1)
        title = title.left(1) + title.mid(1).toLower();
    QString name = QStringLiteral("Nubrick - %1:TApplication MutexObject").arg(title);
    // Neither delimiter may reach the lock file's name.
    name.remove(QLatin1Char('\\'));
    name.remove(QLatin1Char('/'));
    return name.left(260);
}

TSingleInstance::TSingleInstance(const QString& mutexName, const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_fileName = QDir(dir).filePath(mutexName + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_fileName);
    // A lock whose holder is gone is stale at once.
    m_lock->setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::TryLock()
{
    return m_lock->tryLock(0);
}

}  // namespace kavio::qt
