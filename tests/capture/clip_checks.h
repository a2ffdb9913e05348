#pragma once

// What other programs make of a clip: ffprobe's count and duration, ffmpeg's
// decode of every frame, OpenCV's reader, a reader that finds the frames
// through idx1 alone; and every index the clip carries against its chunks.
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cctype>
#include <vector>

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

// Frames OpenCV's own MJPEG reader gives. Like the older players it finds
// them through idx1 alone (offsets from the first "movi"), so it reads the
// first part of a clip only; -1 when it cannot open the clip.
inline int idx1ReaderFrames(const QString& clip)
{
    cv::VideoCapture reader;
    try {
        if (!reader.open(clip.toStdString(), cv::CAP_OPENCV_MJPEG))
            return -1;
    } catch (const cv::Exception&) {
        return -1;
    }
    int frames = 0;
    cv::Mat frame;
    try {
        while (reader.read(frame) && !frame.empty())
            ++frames;
    } catch (const cv::Exception&) {
        // An entry that points beside its frame: what was read so far counts.
    }
    return frames;
}

// A clip's frame chunks and what its indexes say of them.
struct ClipIndexes {
    int frames = 0;           // frame chunks in the "movi" lists of all parts
    int firstPartFrames = 0;  // of them in the first part, which idx1 covers
    int idx1Frames = -1;      // entries of idx1; -1 without one
    int odmlFrames = -1;      // entries of the standard indexes the super index names; -1 without one
    QStringList problems;     // entries that do not point at their frame, in order
};

// Reads the clip's chunks from its bytes (not through the writer's code) and
// checks every entry of idx1, of the OpenDML super index and of each part's
// standard index against the frame chunk it has to point at.
inline ClipIndexes checkClipIndexes(const QString& clip)
{
    ClipIndexes out;
    QFile file(clip);
    if (!file.open(QIODevice::ReadOnly)) {
        out.problems << QStringLiteral("cannot read the clip");
        return out;
    }
    const QByteArray bytes = file.readAll();
    const auto fits = [&](qint64 at, qint64 n) { return at >= 0 && n >= 0 && at + n <= bytes.size(); };
    const auto u16 = [&](qint64 at) { return fits(at, 2) ? qFromLittleEndian<quint16>(bytes.constData() + at) : quint16(0); };
    const auto u32 = [&](qint64 at) { return fits(at, 4) ? qFromLittleEndian<quint32>(bytes.constData() + at) : 0u; };
    const auto u64 = [&](qint64 at) { return fits(at, 8) ? qFromLittleEndian<quint64>(bytes.constData() + at) : quint64(0); };
    const auto tag = [&](qint64 at) { return fits(at, 4) ? bytes.mid(at, 4) : QByteArray(); };
    const auto isFrameId = [](const QByteArray& id) {
        return id.size() == 4 && std::isdigit(uchar(id[0])) && std::isdigit(uchar(id[1]))
            && (id.endsWith("dc") || id.endsWith("db"));
    };

    struct Frame {
        qint64 header;  // of the chunk
        quint32 size;   // of its data
        QByteArray id;
    };
    std::vector<Frame> frames;
    QHash<qint64, int> frameAt;  // chunk header -> index in frames
    qint64 firstMovi = -1;       // the "movi" type of the first part: idx1 counts from there
    qint64 idx1 = -1, superIndex = -1;
    quint32 idx1Size = 0;

    // Walks the chunks in [from, to) and calls visit(at, id, size) for each.
    const auto walk = [&](qint64 from, qint64 to, auto&& visit) {
        for (qint64 at = from; at + 8 <= to;) {
            const QByteArray id = tag(at);
            const quint32 size = u32(at + 4);
            if (at + 8 + qint64(size) > to) {
                out.problems << QStringLiteral("chunk %1 at %2 runs past its list").arg(QString::fromLatin1(id)).arg(at);
                return;
            }
            visit(at, id, size);
            at += 8 + qint64(size) + qint64(size & 1);
        }
    };
    int part = 0;
    for (qint64 riff = 0; riff + 12 <= bytes.size(); ++part) {
        if (tag(riff) != "RIFF" || tag(riff + 8) != (part == 0 ? QByteArray("AVI ") : QByteArray("AVIX"))) {
            out.problems << QStringLiteral("no RIFF part at %1").arg(riff);
            break;
        }
        const quint32 riffSize = u32(riff + 4);
        const qint64 riffEnd = std::min<qint64>(riff + 8 + qint64(riffSize), bytes.size());
        walk(riff + 12, riffEnd, [&](qint64 at, const QByteArray& id, quint32 size) {
            if (id == "idx1" && part == 0) {
                idx1 = at + 8;
                idx1Size = size;
            } else if (id == "LIST" && tag(at + 8) == "hdrl" && part == 0) {
                walk(at + 12, at + 8 + size, [&](qint64 s, const QByteArray& sid, quint32 ssize) {
                    if (sid == "LIST" && tag(s + 8) == "strl") {
                        walk(s + 12, s + 8 + ssize, [&](qint64 c, const QByteArray& cid, quint32) {
                            if (cid == "indx" && superIndex < 0)
                                superIndex = c + 8;
                        });
                    }
                });
            } else if (id == "LIST" && tag(at + 8) == "movi") {
                if (part == 0)
                    firstMovi = at + 8;
                walk(at + 12, at + 8 + size, [&](qint64 c, const QByteArray& cid, quint32 csize) {
                    if (!isFrameId(cid))
                        return;
                    frameAt.insert(c, int(frames.size()));
                    frames.push_back({c, csize, cid});
                    out.firstPartFrames += part == 0 ? 1 : 0;
                });
            }
        });
        riff += 8 + qint64(riffSize) + qint64(riffSize & 1);
    }
    out.frames = int(frames.size());

    // Entry `n` of an index names the chunk at `header` with `size` bytes of
    // data: it has to be frame `expected`, whole.
    const auto checkEntry = [&](const char* index, int n, qint64 header, quint32 size, const QByteArray& id, int expected) {
        const auto it = frameAt.constFind(header);
        if (it == frameAt.cend()) {
            out.problems
                << QStringLiteral("%1 entry %2 points at %3, where no frame begins").arg(QLatin1String(index)).arg(n).arg(header);
            return;
        }
        const Frame& f = frames[size_t(*it)];
        if (*it != expected || f.size != size || f.id != id)
            out.problems << QStringLiteral("%1 entry %2 names frame %3 (%4 bytes, %5), not frame %6 (%7 bytes, %8)")
                                .arg(QLatin1String(index))
                                .arg(n)
                                .arg(*it)
                                .arg(size)
                                .arg(QString::fromLatin1(id))
                                .arg(expected)
                                .arg(f.size)
                                .arg(QString::fromLatin1(f.id));
    };

    if (idx1 >= 0 && firstMovi >= 0) {
        out.idx1Frames = int(idx1Size / 16);
        for (int n = 0; n < out.idx1Frames; ++n) {
            const qint64 e = idx1 + 16 * qint64(n);
            if ((u32(e + 4) & 0x10) == 0)
                out.problems << QStringLiteral("idx1 entry %1 is not marked a key frame").arg(n);
            checkEntry("idx1", n, firstMovi + qint64(u32(e + 8)), u32(e + 12), tag(e), n);
        }
    }
    if (superIndex >= 0) {
        out.odmlFrames = 0;
        const quint32 parts = u32(superIndex + 4);
        for (quint32 p = 0; p < parts; ++p) {
            const qint64 e = superIndex + 24 + 16 * qint64(p);
            const qint64 ix = qint64(u64(e));
            const quint32 entries = u32(ix + 12);
            if (!tag(ix).startsWith("ix") || qint64(u32(ix + 4)) + 8 != qint64(u32(e + 8)) || u16(ix + 8) != 2
                || !fits(ix + 11, 1) || bytes[ix + 11] != 1 || entries != u32(e + 12)) {
                out.problems << QStringLiteral("super index entry %1 does not name a standard index of its frames").arg(p);
                continue;
            }
            const qint64 base = qint64(u64(ix + 20));
            for (quint32 n = 0; n < entries; ++n) {
                const qint64 f = ix + 32 + 8 * qint64(n);
                checkEntry("standard index", out.odmlFrames, base + qint64(u32(f)) - 8, u32(f + 4) & 0x7fffffffu, tag(ix + 16),
                           out.odmlFrames);
                ++out.odmlFrames;
            }
        }
    }
    return out;
}

// Every index of the clip points at its frames: idx1 at each frame of the
// first part, the OpenDML indexes at each frame of every part.
inline void expectIndexesMatchFrames(const QString& clip, int frames, const std::string& where = {})
{
    const ClipIndexes indexes = checkClipIndexes(clip);
    EXPECT_TRUE(indexes.problems.isEmpty()) << where << "\n" << indexes.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(indexes.frames, frames) << where;
    EXPECT_EQ(indexes.idx1Frames, indexes.firstPartFrames) << where;
    EXPECT_EQ(indexes.odmlFrames, frames) << where;
}

}  // namespace testing_support
