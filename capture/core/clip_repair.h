#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

namespace capture {

enum class ClipCondition {
    Whole,       // a finished AVI: every part complete, with its index
    Unfinished,  // the header is there, the end is not (a crash, a kill, a power cut)
    Unreadable   // not an AVI clip of MJPG or 24-bit frames, or cut inside its header
};

ClipCondition inspectClip(const QString& path);

// Rebuilds an unfinished clip from the frames in its "movi" lists: every
// whole frame chunk is kept, a cut last one dropped, and the index and the
// header's counts are written anew. The new clip is written beside the old
// one ("<clip>.repair") and renamed over it, so an interrupted repair loses
// nothing. False (with the reason) when the clip cannot be read, is being
// written by someone else, the new file cannot be written, or `cancel` was set.
bool repairClip(const QString& path, uint32_t* frames = nullptr, QString* error = nullptr,
                const std::atomic<bool>* cancel = nullptr);

// Repairs every unfinished clip ("*.avi") in the given folders that was last
// changed before `before` (clips of this run are left to their writer).
// Stops early when `cancel` is set. Answers the clips repaired.
QStringList repairUnfinishedClips(const QStringList& videoFolders, const QDateTime& before,
                                  const std::atomic<bool>* cancel = nullptr);

}  // namespace capture
