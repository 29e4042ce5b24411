#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace kavio::qt {

// The name that keys the single-instance guard: "Nubrick - <title>:TApplication MutexObject",
// the title being the executable's file name up to its first "." with every character after
// the first in lower case. Copies of the program under other file names do not see each other.
QString MutexName(const QString& executablePath);

// One running copy per user: a lock file in the user's runtime folder named from the mutex
// name. A lock left by a copy that crashed is taken over.
class TSingleInstance {
public:
    // `folder` empty: the user's runtime folder.
    explicit TSingleInstance(const QString& mutexName, const QString& folder = QString());
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when this copy now holds the lock; false when another running copy does.
    bool TryLock();
    QString LockFileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace kavio::qt
