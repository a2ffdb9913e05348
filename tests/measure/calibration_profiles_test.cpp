// Calibration profiles on disk: making, choosing, loading at start, clearing.
#include "measure/core/calibration_profiles.h"

#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

using namespace measure;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

class Profiles : public ::testing::Test {
protected:
    testing_support::Sandbox box;
    QString settings = box.path() + QLatin1String("/Setting");
    QString calibration = settings + QLatin1String("/calibration");
    MeasureState state;

    void SetUp() override { QDir().mkpath(calibration); }

    QStringList activeCopies() const { return QDir(settings).entryList({QStringLiteral("*.txt")}, QDir::Files); }
    void makeProfile(const char* name, double linePixels, const char* unit, double length)
    {
        state.knownLinePixels = linePixels;
        ASSERT_EQ(saveNewProfile(state, settings, QLatin1String(name), QLatin1String(unit), length), ProfileResult::Ok);
    }
};

}  // namespace

TEST_F(Profiles, ReferenceLineOfKnownLengthGivesTheScale)
{
    makeProfile("10x", 100, "mm", 0.5);
    EXPECT_NEAR(state.scalePixels, 65.7534, 1e-9);
    EXPECT_EQ(state.calibrationName, QStringLiteral("10x"));
    EXPECT_EQ(state.format(state.toUnits(200)), QStringLiteral("1.000"));
    EXPECT_EQ(readFile(calibration + QLatin1String("/10x.txt")), QByteArray("mm 65.753400"));
    EXPECT_EQ(activeCopies(), QStringList{QStringLiteral("10x.txt")});

    state.setUnit(QStringLiteral("um"));
    EXPECT_EQ(state.format(state.toUnits(200)), QStringLiteral("1000.000"));
}

TEST_F(Profiles, AProfileKeepsThePictureSizeItWasMadeAtOnALineOldReadersStopBefore)
{
    state.knownLineSize = QSize(640, 480);
    makeProfile("10x", 100, "mm", 0.5);
    const QByteArray text = readFile(calibration + QLatin1String("/10x.txt"));
    EXPECT_EQ(text, QByteArray("mm 65.753400\nsize 640x480"));
    // A reader that joins the lines and takes the number's leading digits.
    EXPECT_DOUBLE_EQ(std::atof(text.mid(3).replace('\n', "").constData()), 65.7534);
    EXPECT_EQ(state.calibrationSize, QSize(640, 480));

    const auto old = parseProfile(QStringLiteral("mm 65.753400\r\n"));
    ASSERT_TRUE(old);
    EXPECT_FALSE(old->size.isValid());
    EXPECT_EQ(parseProfile(QStringLiteral("mm 65.753400\nsize 12xx\nnote\nsize 320x240"))->size, QSize(320, 240));
}

TEST_F(Profiles, ANewPictureSizeTakesTheProfileMadeForItOrNone)
{
    state.knownLineSize = QSize(1280, 720);
    makeProfile("10x 1280", 200, "mm", 0.5);
    state.knownLineSize = QSize(640, 480);
    makeProfile("40x 640", 400, "mm", 0.5);  // another magnification at that size
    makeProfile("10x 640", 101, "mm", 0.5);  // the same one, clicked a pixel long
    ASSERT_TRUE(chooseProfile(state, settings, QStringLiteral("10x 1280.txt")) == ProfileResult::Ok);

    EXPECT_TRUE(followPictureSize(state, settings, QSize(1280, 720), QSize(640, 480)));
    EXPECT_EQ(state.calibrationName, QStringLiteral("10x 640.txt"));
    EXPECT_EQ(activeCopies(), QStringList{QStringLiteral("10x 640.txt")});

    EXPECT_TRUE(followPictureSize(state, settings, QSize(640, 480), QSize(2592, 1944)));
    EXPECT_FALSE(state.isCalibrated());
    EXPECT_TRUE(activeCopies().isEmpty());

    // A profile of before sizes were kept counts as made at the size the picture had.
    writeFile(calibration + QLatin1String("/old.txt"),
              readFile(calibration + QLatin1String("/10x 1280.txt")).split('\n').front());
    ASSERT_TRUE(chooseProfile(state, settings, QStringLiteral("old.txt")) == ProfileResult::Ok);
    EXPECT_TRUE(followPictureSize(state, settings, QSize(1280, 720), QSize(640, 480)));
    EXPECT_EQ(state.calibrationName, QStringLiteral("10x 640.txt"));
    EXPECT_FALSE(followPictureSize(state, settings, QSize(640, 480), QSize(640, 480)));
}

TEST_F(Profiles, ChoosingAProfileLeavesExactlyOneActiveCopy)
{
    makeProfile("10x", 100, "mm", 0.5);
    makeProfile("40x", 400, "um", 100);
    EXPECT_EQ(activeCopies(), QStringList{QStringLiteral("40x.txt")});  // a new profile replaces the old copy too
    writeFile(settings + QLatin1String("/stray.txt"), "mm 12.000000");
    EXPECT_EQ(listProfiles(calibration), (QStringList{"10x.txt", "40x.txt"}));

    ASSERT_EQ(chooseProfile(state, settings, QStringLiteral("10x.txt")), ProfileResult::Ok);
    EXPECT_EQ(activeCopies(), QStringList{QStringLiteral("10x.txt")});
    EXPECT_EQ(state.calibrationName, QStringLiteral("10x.txt"));
    EXPECT_EQ(state.unit, QStringLiteral("mm"));
    EXPECT_NEAR(state.scalePixels, 65.7534, 1e-9);
}

TEST_F(Profiles, ActiveProfileIsLoadedAtStart)
{
    writeFile(settings + QLatin1String("/Default.txt"), "mm 1.0");
    writeFile(settings + QLatin1String("/a.txt"), "cm 20.5");
    writeFile(settings + QLatin1String("/b.txt"), "inch 30.25\n");
    EXPECT_TRUE(loadActiveProfile(state, settings).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(settings + QLatin1String("/Default.txt")));
    EXPECT_EQ(state.calibrationName, QStringLiteral("b.txt"));  // the last one read wins
    EXPECT_EQ(state.unit, QStringLiteral("inch"));
    EXPECT_DOUBLE_EQ(state.scaleLength, 0.0129437);
    EXPECT_DOUBLE_EQ(state.scalePixels, 30.25);

    MeasureState none;
    QDir(settings).removeRecursively();
    EXPECT_TRUE(loadActiveProfile(none, settings).isEmpty());
    EXPECT_FALSE(none.isCalibrated());
    EXPECT_DOUBLE_EQ(none.scaleLength, 10.0);
    EXPECT_DOUBLE_EQ(none.scalePixels, 60.0);
}

TEST_F(Profiles, DamagedProfilesChangeNothing)
{
    makeProfile("good", 100, "mm", 0.5);
    const MeasureState before = state;
    const QByteArray broken[] = {
        "",      "mm",        "mm ",   "mm nan", "mm -1", "mm 1e999", "mm 0", "mm 0.000000", "\xff\xfe\x00garbage",
        " 12.5", "mm 12.5.3", "mm inf"};
    int n = 0;
    for (const QByteArray& bytes : broken) {
        const QString name = QStringLiteral("bad%1.txt").arg(n++);
        writeFile(calibration + QLatin1Char('/') + name, bytes);
        EXPECT_EQ(chooseProfile(state, settings, name), ProfileResult::Damaged) << bytes.toStdString();
        EXPECT_EQ(state.calibrationName, before.calibrationName);
        EXPECT_EQ(state.unit, before.unit);
        EXPECT_DOUBLE_EQ(state.scalePixels, before.scalePixels);
        EXPECT_EQ(activeCopies(), QStringList{QStringLiteral("good.txt")});
    }
    EXPECT_EQ(chooseProfile(state, settings, QStringLiteral("missing.txt")), ProfileResult::Damaged);

    writeFile(settings + QLatin1String("/zzz.txt"), "mm nan");
    MeasureState atStart;
    EXPECT_EQ(loadActiveProfile(atStart, settings), QStringList{QStringLiteral("zzz.txt")});
    EXPECT_EQ(atStart.calibrationName, QStringLiteral("good.txt"));
}

TEST_F(Profiles, ProfilesSurviveACommaLocaleBothWays)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    makeProfile("written-german", 100, "mm", 0.5);
    writeFile(calibration + QLatin1String("/comma.txt"), "mm 152,037000");
    EXPECT_EQ(chooseProfile(state, settings, QStringLiteral("comma.txt")), ProfileResult::Ok);
    EXPECT_DOUBLE_EQ(state.scalePixels, 152.037);

    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(readFile(calibration + QLatin1String("/written-german.txt")), QByteArray("mm 65.753400"));
    EXPECT_EQ(chooseProfile(state, settings, QStringLiteral("written-german.txt")), ProfileResult::Ok);
    EXPECT_NEAR(state.scalePixels, 65.7534, 1e-9);
    EXPECT_EQ(chooseProfile(state, settings, QStringLiteral("comma.txt")), ProfileResult::Ok);
    EXPECT_DOUBLE_EQ(state.scalePixels, 152.037);
    std::setlocale(LC_ALL, saved.c_str());
    if (!german)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed; only Qt's default locale was switched";
}

TEST_F(Profiles, UnusableNamesAndLengthsSaveNothing)
{
    state.knownLinePixels = 100;
    for (const char* name : {"../escape", "a/b", "..", ".", "", "   "})
        EXPECT_EQ(saveNewProfile(state, settings, QLatin1String(name), QStringLiteral("mm"), 1.0), ProfileResult::InvalidName)
            << name;
    EXPECT_EQ(saveNewProfile(state, settings, QStringLiteral("zero"), QStringLiteral("mm"), 0.0), ProfileResult::InvalidLength);
    EXPECT_EQ(saveNewProfile(state, settings, QStringLiteral("neg"), QStringLiteral("mm"), -2.0), ProfileResult::InvalidLength);
    state.knownLinePixels = 0;  // no reference line drawn
    EXPECT_EQ(saveNewProfile(state, settings, QStringLiteral("noline"), QStringLiteral("mm"), 1.0), ProfileResult::InvalidLength);
    EXPECT_TRUE(QDir(calibration).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(box.path() + QLatin1String("/escape.txt")));
    EXPECT_FALSE(state.isCalibrated());
}

TEST_F(Profiles, NoCalibrationForgetsTheActiveProfile)
{
    makeProfile("10x", 100, "mm", 0.5);
    EXPECT_TRUE(clearCalibration(state, settings));
    EXPECT_FALSE(state.isCalibrated());
    EXPECT_DOUBLE_EQ(state.scaleLength, 10.0);
    EXPECT_DOUBLE_EQ(state.scalePixels, 60.0);
    EXPECT_TRUE(activeCopies().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(calibration + QLatin1String("/10x.txt")));  // the profile itself stays

    ASSERT_EQ(chooseProfile(state, settings, QStringLiteral("10x.txt")), ProfileResult::Ok);
    EXPECT_TRUE(clearCalibration(state, settings));
    EXPECT_TRUE(activeCopies().isEmpty());
    EXPECT_FALSE(clearCalibration(state, settings));
}

TEST_F(Profiles, MenuListsAtMostTwentyProfileFiles)
{
    for (int i = 0; i < 25; ++i)
        writeFile(calibration + QStringLiteral("/p%1.txt").arg(i, 2, 10, QLatin1Char('0')), "mm 10");
    writeFile(calibration + QLatin1String("/notes.doc"), "x");
    QDir().mkpath(calibration + QLatin1String("/folder.txt"));
    const QStringList listed = listProfiles(calibration);
    ASSERT_EQ(listed.size(), 20);
    EXPECT_EQ(listed.first(), QStringLiteral("p00.txt"));
    EXPECT_EQ(listed.last(), QStringLiteral("p19.txt"));
}

TEST(CalibrationRequired, SaysPleaseCalibrateFirstWhenNoProfileIsActive)
{
    testing_support::ScriptedDialogs dialogs;
    MeasureState s;
    EXPECT_FALSE(requireCalibration(s));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Please Calibrate first")});
    s.calibrationName = QStringLiteral("10x");
    EXPECT_TRUE(requireCalibration(s));
    EXPECT_EQ(dialogs.messages.size(), 1);
}
