#include "base/image_toggles.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using namespace base;

TEST(ImageToggles, RoundTripAsDecimalTextAndPrefixCutTo23Characters)
{
    testing_support::Sandbox box;
    const QString ini = box.path() + QLatin1String("/Setting/morpholoyPofile.ini");
    EXPECT_TRUE(readImageToggles(ini) == ImageToggles());

    ImageToggles t;
    t.featureSelected = 32901;
    t.imageHFlipSelected = 1;
    t.imageColorSelected = 3;
    t.imagePrefixSelected = QStringLiteral("Probe 12 ");
    t.sortFolders = 1;
    testing_support::writeFile(ini, "; hand notes stay\n");
    ASSERT_TRUE(saveImageToggles(ini, t));
    EXPECT_TRUE(readImageToggles(ini) == t);
    EXPECT_TRUE(testing_support::readFile(ini).startsWith("; hand notes stay\n"));
    EXPECT_TRUE(testing_support::readFile(ini).contains("featureSelected=32901\n"));

    testing_support::writeFile(ini, "[Section]\nimagePrefixSelected=ABCDEFGHIJKLMNOPQRSTUVWXYZ\nimageVFlipSelected=yes\n");
    const ImageToggles cut = readImageToggles(ini);
    EXPECT_EQ(cut.imagePrefixSelected, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW"));
    EXPECT_EQ(cut.imageVFlipSelected, 0);
}
