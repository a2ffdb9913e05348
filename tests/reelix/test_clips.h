#pragma once

#include <QColor>
#include <QString>

namespace testing_support {

// A clip written by the program's own clip writer (5 frames a second), every
// frame filled with `colour`; false when it could not be written.
bool writeRecordedClip(const QString& path, int frames, bool compressed, QColor colour = QColor(200, 40, 30));

// A long clip of a grey picture at one frame a second, made by ffmpeg.
bool writeLongClip(const QString& path, int seconds);

// The first `keepPercent` of `from` written to `to`, like a recording the
// recorder could not finish.
bool writeCutShort(const QString& from, const QString& to, int keepPercent);

}  // namespace testing_support
