// Files written by ImageMagick, the reference writer, in every variant it
// makes, read to the pixels ImageMagick itself reads from them.
#include "picture/core/cx_image.h"

#include "picture_testing.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace picture_testing;

namespace {

// The real convert (a stand-in may shadow the plain name on the path).
QString convertProgram()
{
    for (const char* name : {"convert-im6.q16", "convert-im6", "convert-im7"}) {
        const QString p = QStandardPaths::findExecutable(QLatin1String(name));
        if (!p.isEmpty())
            return p;
    }
    return {};
}

bool run(const QString& program, const QStringList& args, QByteArray* output = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (output)
        *output = p.readAllStandardOutput();
    return true;
}

class ReferenceWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_convert = convertProgram();
        if (m_convert.isEmpty())
            GTEST_SKIP() << "ImageMagick is not installed (tools/setup.sh installs it)";
        ASSERT_TRUE(m_dir.isValid());
        m_source = m_dir.filePath(QStringLiteral("source.png"));
        ASSERT_TRUE(
            run(m_convert,
                {QStringLiteral("-size"), QStringLiteral("37x23"), QStringLiteral("gradient:red-blue"), QStringLiteral("-fill"),
                 QStringLiteral("yellow"), QStringLiteral("-draw"), QStringLiteral("circle 10,10 15,12"), m_source}));
    }

    // Writes the source with ImageMagick, reads it back both ways.
    void check(const QString& output, const QStringList& options, uint32_t type, int tolerance, uint32_t bpp = 0)
    {
        const QString file = m_dir.filePath(output.section(QLatin1Char(':'), -1));
        const QString target = output.contains(QLatin1Char(':'))
            ? output.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':') + file
            : file;
        ASSERT_TRUE(run(m_convert, QStringList{m_source} + options + QStringList{target})) << output.toStdString();
        QByteArray reference;
        ASSERT_TRUE(run(m_convert, {file, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgb:-")}, &reference));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        CxImage img;
        std::string error;
        ASSERT_TRUE(decode(bytes, type, img, &error)) << output.toStdString() << ": " << error;
        EXPECT_EQ(img.GetWidth(), 37u);
        EXPECT_EQ(img.GetHeight(), 23u);
        if (bpp) {
            EXPECT_EQ(img.GetBpp(), bpp) << output.toStdString();
        }
        const std::vector<uint8_t> ref(reference.begin(), reference.end());
        EXPECT_LE(maxDifference(rgbRows(img), ref), tolerance) << output.toStdString();
        addFuzzSeed(type == CXIMAGE_FORMAT_BMP ? "bmp" : "jpeg", QStringLiteral("im-") + output.section(QLatin1Char(':'), -1),
                    bytes);
    }

    QString m_convert;
    QTemporaryDir m_dir;
    QString m_source;
};

}  // namespace

TEST_F(ReferenceWriter, BmpVariantsReadToImageMagicksPixels)
{
    const QString none = QStringLiteral("None");
    check(QStringLiteral("BMP3:t24.bmp"), {QStringLiteral("-type"), QStringLiteral("TrueColor")}, CXIMAGE_FORMAT_BMP, 0, 24);
    check(QStringLiteral("BMP3:p8.bmp"), {QStringLiteral("-type"), QStringLiteral("Palette"), QStringLiteral("-compress"), none},
          CXIMAGE_FORMAT_BMP, 0, 8);
    check(QStringLiteral("BMP3:rle8.bmp"),
          {QStringLiteral("-type"), QStringLiteral("Palette"), QStringLiteral("-compress"), QStringLiteral("RLE")},
          CXIMAGE_FORMAT_BMP, 0, 8);
    check(QStringLiteral("BMP3:p4.bmp"),
          {QStringLiteral("-colors"), QStringLiteral("16"), QStringLiteral("-type"), QStringLiteral("Palette")},
          CXIMAGE_FORMAT_BMP, 0, 4);
    check(QStringLiteral("BMP3:m1.bmp"), {QStringLiteral("-monochrome")}, CXIMAGE_FORMAT_BMP, 0, 1);
    check(QStringLiteral("BMP:v5.bmp"), {QStringLiteral("-type"), QStringLiteral("TrueColor")}, CXIMAGE_FORMAT_BMP, 0, 24);
    check(QStringLiteral("BMP:a32.bmp"), {QStringLiteral("-alpha"), QStringLiteral("on")}, CXIMAGE_FORMAT_BMP, 0, 24);
    check(QStringLiteral("BMP:s565.bmp"), {QStringLiteral("-define"), QStringLiteral("bmp:subtype=RGB565")}, CXIMAGE_FORMAT_BMP,
          1, 24);
    check(QStringLiteral("BMP:s555.bmp"), {QStringLiteral("-define"), QStringLiteral("bmp:subtype=RGB555")}, CXIMAGE_FORMAT_BMP,
          1, 24);
    check(QStringLiteral("BMP2:c24.bmp"), {QStringLiteral("-type"), QStringLiteral("TrueColor")}, CXIMAGE_FORMAT_BMP, 0, 24);
    check(QStringLiteral("BMP2:c8.bmp"), {QStringLiteral("-type"), QStringLiteral("Palette")}, CXIMAGE_FORMAT_BMP, 0, 8);
}

TEST_F(ReferenceWriter, JpegVariantsReadToImageMagicksPixels)
{
    check(QStringLiteral("ycc.jpg"), {QStringLiteral("-quality"), QStringLiteral("90")}, CXIMAGE_FORMAT_JPG, 2);
    check(QStringLiteral("grey.jpg"), {QStringLiteral("-colorspace"), QStringLiteral("Gray")}, CXIMAGE_FORMAT_JPG, 2);
    check(QStringLiteral("progressive.jpg"), {QStringLiteral("-interlace"), QStringLiteral("JPEG")}, CXIMAGE_FORMAT_JPG, 2);
    check(QStringLiteral("cmyk.jpg"), {QStringLiteral("-colorspace"), QStringLiteral("CMYK")}, CXIMAGE_FORMAT_JPG, 3);
}
