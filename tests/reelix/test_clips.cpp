#include "test_clips.h"

#include "capture/device/clip_writer.h"

#include <QFile>
#include <QProcess>

#include <vector>

namespace testing_support {

bool writeRecordedClip(const QString& path, int frames, bool compressed, QColor colour)
{
    constexpr int kWidth = 64, kHeight = 48;
    std::vector<uint8_t> bgr(size_t(kWidth) * kHeight * 3);
    for (size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = uint8_t(colour.blue());
        bgr[i + 1] = uint8_t(colour.green());
        bgr[i + 2] = uint8_t(colour.red());
    }
    capture::ClipWriter writer;
    if (!writer.open(path, kWidth, kHeight, compressed))
        return false;
    for (int i = 0; i < frames; ++i) {
        if (!writer.write(bgr.data(), kWidth, kHeight, kWidth * 3))
            return false;
    }
    writer.close();
    return writer.framesWritten() == frames;
}

bool writeLongClip(const QString& path, int seconds)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                  QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("color=c=gray:s=64x48:r=1:d=%1").arg(seconds),
                  QStringLiteral("-c:v"), QStringLiteral("mjpeg"), path});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

bool writeCutShort(const QString& from, const QString& to, int keepPercent)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return false;
    const QByteArray all = source.readAll();
    return target.write(all.left(all.size() * keepPercent / 100)) > 0;
}

}  // namespace testing_support
