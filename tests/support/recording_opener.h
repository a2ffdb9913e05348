#pragma once

#include "platform/desktop_open.h"

#include <QStringList>

namespace testing_support {

// Keeps what would have been opened with the desktop's programs, while it lives.
class RecordingOpener : public platform::DesktopOpener {
public:
    RecordingOpener() : m_previous(platform::setDesktopOpener(this)) {}
    ~RecordingOpener() override { platform::setDesktopOpener(m_previous); }
    bool open(const QString& path) override
    {
        opened << path;
        return !nothingToOpenWith;
    }
    QStringList opened;
    // As a desktop without a program for the file would answer.
    bool nothingToOpenWith = false;

private:
    platform::DesktopOpener* m_previous;
};

}  // namespace testing_support
