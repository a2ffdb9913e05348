#include "measure/core/measure_state.h"
#include "measure/core/number_text.h"

#include <gtest/gtest.h>

using namespace measure;

TEST(NumberText, DecimalsWithPointOrCommaWhateverTheLocale)
{
    EXPECT_DOUBLE_EQ(*parseDecimal(QStringLiteral("152.037")), 152.037);
    EXPECT_DOUBLE_EQ(*parseDecimal(QStringLiteral("152,037")), 152.037);
    EXPECT_DOUBLE_EQ(*parseDecimal(QStringLiteral(" 0.5 ")), 0.5);
    EXPECT_DOUBLE_EQ(*parseDecimal(QStringLiteral("-2")), -2.0);
    for (const char* bad : {"", "1.2.3", "1,2.3", "nan", "inf", "1e999", "1e5", "12abc", "0x10", "--1", "1-"})
        EXPECT_FALSE(parseDecimal(QLatin1String(bad)).has_value()) << bad;
}

TEST(NumberText, MagnificationCheck)
{
    for (const char* ok : {"60.0", "1", "1.0", "400", "1."})
        EXPECT_TRUE(isValidMagnification(QLatin1String(ok))) << ok;
    for (const char* bad : {"0.5", "1.2.3", "", "abc", "-5", "60,0", "0"})
        EXPECT_FALSE(isValidMagnification(QLatin1String(bad))) << bad;
}

TEST(NumberText, PitchMustBeAPositiveNumber)
{
    EXPECT_DOUBLE_EQ(*parsePitch(QStringLiteral("0.2")), 0.2);
    EXPECT_DOUBLE_EQ(*parsePitch(QStringLiteral("0,5")), 0.5);
    EXPECT_DOUBLE_EQ(*parsePitch(QStringLiteral("12")), 12.0);
    for (const char* bad : {"", "0", "0.0", "1a", "-1", "1 ", " 1", "1.2.3"})
        EXPECT_FALSE(parsePitch(QLatin1String(bad)).has_value()) << bad;
}

TEST(MeasureState, UnitsConvertThroughTheScaleLength)
{
    EXPECT_DOUBLE_EQ(unitScaleLength(QStringLiteral("um")), 328.767);
    EXPECT_DOUBLE_EQ(unitScaleLength(QStringLiteral("mil")), 12.842461);
    EXPECT_DOUBLE_EQ(unitScaleLength(QStringLiteral("furlong")), 0.328767);
    MeasureState s;
    EXPECT_DOUBLE_EQ(s.toUnits(60), 10.0);  // no profile: 60 pixels read 10
    s.scalePixels = 65.7534;
    s.setUnit(QStringLiteral("mm"));
    EXPECT_EQ(s.format(s.toUnits(200)), QStringLiteral("1.000"));
    EXPECT_EQ(s.format(s.toSquareUnits(200 * 200)), QStringLiteral("1.000"));
    s.setUnit(QStringLiteral("um"));
    EXPECT_EQ(s.format(s.toUnits(200)), QStringLiteral("1000.000"));
    EXPECT_EQ(s.format(s.toSquareUnits(200 * 200)), QStringLiteral("1000000.000"));
    s.decimals = 5;
    EXPECT_EQ(s.format(s.toUnits(200)), QStringLiteral("1000.00000"));
}

TEST(MeasureState, PreviewSampleFollowsTheDecimals)
{
    EXPECT_EQ(decimalsSample(1), QStringLiteral("0.1mm"));
    EXPECT_EQ(decimalsSample(3), QStringLiteral("0.001mm"));
    EXPECT_EQ(decimalsSample(5), QStringLiteral("0.00001mm"));
    EXPECT_EQ(decimalsSample(9), QStringLiteral("0.00001mm"));
}
