#pragma once

// What other programs make of a clip: ffprobe's count and duration, ffmpeg's
// decode of every frame, OpenCV's reader.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <opencv2/videoio.hpp>

#include <gtest/gtest.h>

namespace testing_support {

struct ProbedClip {
    int packets = -1;        // frames found by reading the file through
    int headerFrames = -1;   // frames the header or index gives
    double duration = -1.0;  // seconds
    int width = 0;
    int height = 0;
    QString codec;
};

inline QString runTool(const QString& program, const QStringList& args, int* exitCode = nullptr, QString* errors = nullptr)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << program.toStdString() << " does not start (tools/setup.sh installs ffmpeg)";
        return {};
    }
    process.waitForFinished(600000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errors)
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

inline ProbedClip probeClip(const QString& clip)
{
    const QString out = runTool(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
                                 QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                 QStringLiteral("stream=codec_name,width,height,nb_frames,nb_read_packets,duration"),
                                 QStringLiteral("-of"), QStringLiteral("default=nw=1"), clip});
    ProbedClip probed;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if (key == QLatin1String("nb_read_packets"))
            probed.packets = value.toInt();
        else if (key == QLatin1String("nb_frames"))
            probed.headerFrames = value.toInt();
        else if (key == QLatin1String("duration"))
            probed.duration = value == QLatin1String("N/A") ? -1.0 : value.toDouble();
        else if (key == QLatin1String("width"))
            probed.width = value.toInt();
        else if (key == QLatin1String("height"))
            probed.height = value.toInt();
        else if (key == QLatin1String("codec_name"))
            probed.codec = value;
    }
    return probed;
}

// ffmpeg decodes every frame without a complaint. `extra` goes before the
// input (a seek, say).
inline bool ffmpegDecodes(const QString& clip, QString* errors = nullptr, const QStringList& extra = {})
{
    int code = -1;
    QString complaints;
    runTool(QStringLiteral("ffmpeg"),
            QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin")} + extra
                + QStringList{QStringLiteral("-i"), clip, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
            &code, &complaints);
    if (errors)
        *errors = complaints;
    return code == 0 && complaints.trimmed().isEmpty();
}

// Frames OpenCV's reader gives, -1 when it cannot open the clip.
inline int openCvFrames(const QString& clip, cv::Mat* last = nullptr)
{
    cv::VideoCapture reader(clip.toStdString());
    if (!reader.isOpened())
        return -1;
    int frames = 0;
    cv::Mat frame;
    while (reader.read(frame)) {
        ++frames;
        if (last)
            frame.copyTo(*last);
    }
    return frames;
}

}  // namespace testing_support
