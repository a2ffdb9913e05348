// Picture codec speed: JPEG decode and encode of full-HD and 5-megapixel
// frames, beside libjpeg-turbo's own tjbench on the same files, and a BMP
// write beside writing the same bytes with one call.
//   build/release/bin/codec_bench [--benchmark_* options]
#include "picture/core/bmp_codec.h"
#include "picture/core/cx_image.h"
#include "picture/core/jpeg_codec.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{1920, 1080}, {2592, 1944}};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A frame with the detail of a real sample: gradients, cells and grain.
CxImage frame(int w, int h)
{
    CxImage img;
    img.Create(static_cast<uint32_t>(w), static_cast<uint32_t>(h), 24);
    uint32_t noise = 12345;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = img.GetBits(static_cast<uint32_t>(y));
        for (int x = 0; x < w; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            const double cell = std::sin(x * 0.031) * std::cos(y * 0.027) * 60;
            const int grain = static_cast<int>(noise >> 28) - 8;
            p[0] = static_cast<uint8_t>(std::clamp(150 + cell + grain, 0.0, 255.0));
            p[1] = static_cast<uint8_t>(std::clamp(120 + cell * 0.5 + grain + y * 60.0 / h, 0.0, 255.0));
            p[2] = static_cast<uint8_t>(std::clamp(170 - cell + grain + x * 40.0 / w, 0.0, 255.0));
        }
    }
    return img;
}

QString pathOf(const Size& s, const char* ext)
{
    return folder().filePath(QStringLiteral("frame-%1x%2.%3").arg(s.w).arg(s.h).arg(QLatin1String(ext)));
}

// The same frame as JPEG (for decoding) and as PPM (tjbench's input for encoding).
void prepareFiles()
{
    for (const Size& s : kSizes) {
        CxImage img = frame(s.w, s.h);
        img.Save(pathOf(s, "jpg").toStdString(), CXIMAGE_FORMAT_JPG);
        FILE* f = std::fopen(pathOf(s, "ppm").toLocal8Bit().constData(), "wb");
        std::fprintf(f, "P6\n%d %d\n255\n", s.w, s.h);
        std::vector<uint8_t> row(size_t(s.w) * 3);
        for (int y = 0; y < s.h; ++y) {
            const uint8_t* in = img.GetBits(static_cast<uint32_t>(s.h - 1 - y));
            for (int x = 0; x < s.w; ++x) {
                row[size_t(x) * 3] = in[x * 3 + 2];
                row[size_t(x) * 3 + 1] = in[x * 3 + 1];
                row[size_t(x) * 3 + 2] = in[x * 3];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        std::fclose(f);
    }
}

std::vector<uint8_t> readAll(const QString& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.toLocal8Bit().constData(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes.resize(static_cast<size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        std::fread(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return bytes;
}

void JpegDecode(benchmark::State& state)
{
    const Size s = kSizes[state.range(0)];
    const std::vector<uint8_t> bytes = readAll(pathOf(s, "jpg"));
    for (auto _ : state) {
        CxMemFile mem(bytes.data(), bytes.size());
        CxImage img;
        if (!decodeJpeg(mem, img))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.GetBits());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(s.w) * s.h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(JpegDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void JpegEncode(benchmark::State& state)
{
    const Size s = kSizes[state.range(0)];
    const CxImage img = frame(s.w, s.h);
    for (auto _ : state) {
        CxMemFile mem;
        std::string error;
        if (!encodeJpeg(img, mem, error))
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(mem.Data().data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(s.w) * s.h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(JpegEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BmpWrite(benchmark::State& state)
{
    const Size s = kSizes[state.range(0)];
    const CxImage img = frame(s.w, s.h);
    const std::string path = pathOf(s, "bmp").toStdString();
    for (auto _ : state) {
        CxIOFile f;
        f.Open(path, "wb");
        std::string error;
        encodeBmp(img, f, error);
        f.Close();
    }
}
BENCHMARK(BmpWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The floor: the same number of bytes in one write call.
void OneWriteCall(benchmark::State& state)
{
    const Size s = kSizes[state.range(0)];
    const CxImage img = frame(s.w, s.h);
    const std::string path = pathOf(s, "raw").toStdString();
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(img.GetDIB().data(), 1, img.GetDIB().size(), f);
        std::fclose(f);
    }
}
BENCHMARK(OneWriteCall)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Frames per second tjbench reports for compressing and decompressing.
std::pair<double, double> tjbench(const Size& s)
{
    const QString tj = QStandardPaths::findExecutable(QStringLiteral("tjbench"));
    if (tj.isEmpty())
        return {0, 0};
    const auto fps = [&](const QStringList& args, const char* label) {
        QProcess p;
        p.start(tj, args);
        p.waitForFinished(600000);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QRegularExpression re(QLatin1String(label) + QStringLiteral("\\s+--> Frame rate:\\s+([0-9.]+) fps"));
        const auto m = re.match(out);
        return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
    };
    const QStringList common{QStringLiteral("-benchtime"), QStringLiteral("2"), QStringLiteral("-warmup"), QStringLiteral("1"),
                             QStringLiteral("-nowrite")};
    const double compress = fps(
        QStringList{pathOf(s, "ppm"), QStringLiteral("90"), QStringLiteral("-subsamp"), QStringLiteral("420")} + common
            + QStringList{QStringLiteral("-bottomup")},
        "Compress");
    const double decompress = fps(QStringList{pathOf(s, "jpg")} + common + QStringList{QStringLiteral("-bottomup")},
                                  "Decompress");
    return {compress, decompress};
}

class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> msPerRun;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            msPerRun[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    prepareFiles();
    benchmark::Initialize(&argc, argv);
    Collector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-12s %14s %14s %8s %8s\n", "frame", "ours ms", "tjbench ms", "ratio", "goal");
    for (int i = 0; i < 2; ++i) {
        const Size& s = kSizes[i];
        const auto [compressFps, decompressFps] = tjbench(s);
        const auto row = [&](const char* what, const std::string& name, double theirsMs, double goal) {
            const double ours = reporter.msPerRun[name];
            std::printf("%4dx%-4d %-6s %10.2f %14.2f %8.2f %8.2f%s\n", s.w, s.h, what, ours, theirsMs,
                        theirsMs > 0 ? ours / theirsMs : 0.0, goal, theirsMs > 0 && ours / theirsMs > goal ? "  over" : "");
        };
        const std::string arg = "/" + std::to_string(i) + "/min_time:1.000";
        row("decode", "JpegDecode" + arg, decompressFps > 0 ? 1000.0 / decompressFps : 0, 1.15);
        row("encode", "JpegEncode" + arg, compressFps > 0 ? 1000.0 / compressFps : 0, 1.15);
        row("bmp", "BmpWrite" + arg, reporter.msPerRun["OneWriteCall" + arg], 1.5);
    }
    return 0;
}
