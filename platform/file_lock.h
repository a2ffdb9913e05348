#pragma once

#include <QString>

namespace platform {

// An exclusive advisory lock (flock) on a lock file, held for the lifetime of
// the object. Separate processes that lock the same path are serialised; the
// kernel drops the lock when the holder dies.
class FileLock {
public:
    enum class Mode { Wait, TryOnce };

    explicit FileLock(const QString& lockPath, Mode mode = Mode::Wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}  // namespace platform
