#include "wifi/core/camera_pages.h"

#include <gtest/gtest.h>

#include <random>

using namespace wifi;

namespace {

QByteArray mediaPage(const QByteArray& list, const QByteArray& saved)
{
    return "<html><head><script>\nvar cameraList = \"" + list + "\";\nvar other = 3;\nvar video_idx_save = \"" + saved
        + "\";\n</script></head><body>Media</body></html>\n";
}

const QByteArray kControlBlock = R"(var cameraWidth = 1280;
var controls = [
 {"name": "Brightness", "id": "9963776", "type": "1", "min": "0", "max": "255", "step": "1", "default": "128", "value": "140"},
 {"name": "Contrast", "id": "9963777", "type": "1", "min": "0", "max": "64", "step": "2", "default": "32", "value": "30"},
 {"name": "Zoom", "id": "10094861", "type": "1", "min": "0", "max": "10", "step": "1", "default": "0", "value": "0"},
 {"name": "Sharpness", "id": "9963803", "type": "1", "min": "0", "max": "7", "default": "3", "value": "4"},
 {"name": "Gamma", "id": "9963792", "type": "1", "min": "72", "max": "500", "step": "1", "default": "100", "value": "120"},
 {"name": "Hue", "id": "9963779", "type": "1", "min": "-40", "max": "40", "step": "1", "default": "0", "value": "-5"}
];
)";

QByteArray wizardPage(const QByteArray& list, const QByteArray& block = kControlBlock)
{
    return "<html><script>\nvar cameraList = \"" + list + "\";\n" + block + "</script></html>\n";
}

const QByteArray kModes = "1,1,640,480#2,1,1280,720#3,0,1600,1200";

}  // namespace

TEST(CameraPages, MediaPageStreamsInTheSavedMode)
{
    const auto page = parseMediaPage(mediaPage(kModes, "1"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->modes.size(), 3u);
    EXPECT_EQ(page->savedIndex, 1);
    EXPECT_EQ(page->streamSize, QSize(1280, 720));
    EXPECT_EQ(page->cameraModel, 1);
    EXPECT_EQ(page->modes[2].text, "3,0,1600,1200");
    EXPECT_FALSE(page->modes[2].usable);
}

TEST(CameraPages, ModelFourWhenAModeIs2592Wide)
{
    const auto page = parseMediaPage(mediaPage("1,1,640,480#2,1,1280,720#3,1,2592,1944", "0"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->cameraModel, 4);
    EXPECT_EQ(page->streamSize, QSize(640, 480));
}

TEST(CameraPages, ModelStaysZeroWithoutKnownWidths)
{
    const auto page = parseMediaPage(mediaPage("1,1,640,480#2,1,800,600", "0"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->cameraModel, 0);
}

TEST(CameraPages, MenuHoldsTheUsableModesWithinLimits)
{
    const auto page = parseMediaPage(mediaPage(kModes, "1"));
    ASSERT_TRUE(page);
    EXPECT_EQ(resolutionMenu(page->modes), QStringList({"640,480", "1280,720"}));
}

TEST(CameraPages, MenuAndDialogDrawTheirLinesDifferently)
{
    const auto wizard = parseWizardPage(wizardPage("1,1,1440,1080#2,1,1280,1024#3,1,1600,1200#4,1,320,240"));
    ASSERT_TRUE(wizard);
    QStringList dialog;
    for (const CameraMode& m : wizard->dialogModes)
        dialog << QStringLiteral("%1x%2").arg(m.width).arg(m.height);
    EXPECT_EQ(dialog, QStringList({"1440x1080", "1280x1024", "320x240"}));

    const auto page = parseMediaPage(mediaPage("1,1,1440,1080#2,1,1280,1024#3,1,1600,1200#4,1,320,240", "1"));
    ASSERT_TRUE(page);
    EXPECT_EQ(resolutionMenu(page->modes), QStringList({"1280,1024", "320,240"}));
}

TEST(CameraPages, MenuStopsAtTwelve)
{
    QByteArrayList entries;
    for (int i = 1; i <= 13; ++i)
        entries << QByteArray::number(i) + ",1," + QByteArray::number(320 + 40 * i) + ",480";
    const auto page = parseMediaPage(mediaPage(entries.join('#'), "0"));
    ASSERT_TRUE(page);
    const QStringList menu = resolutionMenu(page->modes);
    ASSERT_EQ(menu.size(), 12);
    EXPECT_EQ(menu.last(), "800,480");
}

TEST(CameraPages, WizardControlsComeInTheirFixedOrder)
{
    const auto wizard = parseWizardPage(wizardPage(kModes));
    ASSERT_TRUE(wizard);
    std::vector<std::string> names;
    for (const auto& c : wizard->controls)
        names.push_back(c.name);
    // Saturation is missing from the page and Zoom is not one of ours.
    EXPECT_EQ(names, (std::vector<std::string>{"Brightness", "Contrast", "Hue", "Gamma", "Sharpness"}));

    const auto& brightness = wizard->controls[0];
    EXPECT_EQ(brightness.id, 9963776u);
    EXPECT_EQ(brightness.minimum, 0);
    EXPECT_EQ(brightness.maximum, 255);
    EXPECT_EQ(brightness.step, 1);
    EXPECT_EQ(brightness.defaultValue, 128);
    EXPECT_EQ(brightness.value, 140);
    EXPECT_EQ(wizard->controls[1].step, 2);
    EXPECT_EQ(wizard->controls[2].minimum, -40);
    EXPECT_EQ(wizard->controls[2].value, -5);
    EXPECT_EQ(wizard->controls[3].id, 9963792u);
    EXPECT_EQ(wizard->controls[4].id, 9963803u);
    EXPECT_EQ(wizard->controls[4].step, 1);  // the page gives none
}

TEST(CameraPages, WizardFieldsAreFoundByName)
{
    const QByteArray block =
        "var cameraWidth = 640;\nvar c = [{\"value\": \"7\", 'default': '5', max: 9, \"min\": \"1\", "
        "\"id\": \"9963778\", \"name\": \"Saturation\"}];\n";
    const auto wizard = parseWizardPage(wizardPage(kModes, block));
    ASSERT_TRUE(wizard);
    ASSERT_EQ(wizard->controls.size(), 1u);
    EXPECT_EQ(wizard->controls[0].name, "Saturation");
    EXPECT_EQ(wizard->controls[0].id, 9963778u);
    EXPECT_EQ(wizard->controls[0].maximum, 9);
    EXPECT_EQ(wizard->controls[0].value, 7);
}

TEST(CameraPages, BrokenControlBlockStillGivesTheModes)
{
    const QByteArray block = "var cameraWidth = 640;\nvar c = [{\"name\": \"Brightness\", \"id\": \"9963776\", \"min\": \"0\"";
    const auto wizard = parseWizardPage(wizardPage(kModes, block));
    ASSERT_TRUE(wizard);
    EXPECT_TRUE(wizard->controls.empty());
    EXPECT_EQ(wizard->dialogModes.size(), 2u);
}

struct BadPage {
    const char* name;
    QByteArray body;
};

class RefusedMediaPage : public testing::TestWithParam<BadPage> {};

TEST_P(RefusedMediaPage, GivesAReason)
{
    QString why;
    EXPECT_FALSE(parseMediaPage(GetParam().body, &why));
    EXPECT_FALSE(why.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    CameraPages, RefusedMediaPage,
    testing::Values(BadPage{"NoModeList", "<html><script>var video_idx_save = \"1\";</script></html>"},
                    BadPage{"NoSavedMode", "<html><script>var cameraList = \"1,1,640,480\";</script></html>"},
                    BadPage{"LoginPage", "<html><body><form action=\"login.cgi\"><input name=\"password\"></form></body></html>"},
                    BadPage{"FewerThanFourFields", mediaPage("1,1,640,480#2,1,1280", "0")},
                    BadPage{"WidthNotANumber", mediaPage("1,1,wide,480", "0")},
                    BadPage{"NegativeHeight", mediaPage("1,1,640,-480", "0")}, BadPage{"ZeroWidth", mediaPage("1,1,0,480", "0")},
                    BadPage{"HugeWidth", mediaPage("1,1,10001,480", "0")},
                    BadPage{"ModeNumberZero", mediaPage("0,1,640,480", "0")},
                    BadPage{"SavedModeNotANumber", mediaPage(kModes, "x")}, BadPage{"SavedModeNotUsable", mediaPage(kModes, "2")},
                    BadPage{"SavedModeMissing", mediaPage(kModes, "7")}, BadPage{"EmptyModeList", mediaPage("", "0")},
                    BadPage{"BinaryBytes", mediaPage(kModes, "1").insert(10, QByteArray("\x00\x01\xff\xd8", 4))}),
    [](const testing::TestParamInfo<BadPage>& param) { return std::string(param.param.name); });

TEST(CameraPages, EveryCutOfAPageIsSafe)
{
    const QByteArray media = mediaPage(kModes, "1");
    const QByteArray wizard = wizardPage(kModes);
    int parsed = 0;
    for (qsizetype n = 0; n <= std::max(media.size(), wizard.size()); ++n) {
        parsed += parseMediaPage(media.left(n)).has_value();
        parsed += parseWizardPage(wizard.left(n)).has_value();
    }
    // The media page is whole once its saved mode's closing quote is there; the
    // wizard page once its mode list is.
    EXPECT_GT(parsed, 0);
    EXPECT_FALSE(parseMediaPage(media.left(media.indexOf("video_idx_save"))));
}

TEST(CameraPages, RandomBytesAreSafe)
{
    std::mt19937 random(7);
    const QByteArray wizard = wizardPage(kModes);
    for (int round = 0; round < 300; ++round) {
        QByteArray body = wizard;
        // Scramble a few bytes, some with printable junk only so the text survives.
        for (int i = 0; i < 1 + round % 8; ++i) {
            const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(body.size()));
            body[at] = round % 2 ? static_cast<char>(random() % 256) : "\",:#[]{}0-9a"[random() % 12];
        }
        const auto media = parseMediaPage(body);
        const auto page = parseWizardPage(body);
        if (page) {
            for (const auto& c : page->controls)
                EXPECT_LE(c.minimum, c.maximum);
        }
        (void)media;
    }
}

TEST(CameraPages, TriggerIsTheLeadingNumber)
{
    EXPECT_EQ(parseTrigger("0"), 0);
    EXPECT_EQ(parseTrigger("17\n"), 17);
    EXPECT_EQ(parseTrigger(" 3;ok"), 3);
    EXPECT_EQ(parseTrigger(""), std::nullopt);
    EXPECT_EQ(parseTrigger("<html>"), std::nullopt);
    EXPECT_EQ(parseTrigger("99999999999"), std::nullopt);
}

TEST(CameraPages, RequestPaths)
{
    EXPECT_EQ(modeSwitchPath(2),
              "/apply.cgi?submit_button=media&change_action=&action=Apply&refresh_ddns=1"
              "&video_port=8899&video_idx=1&video_frame=30&only_stream=0&auth_need=0");
    EXPECT_EQ(controlCommandPath(9963776, 140), "/?action=command&dest=0&plugin=0&id=9963776&group=01&value=140");
    EXPECT_EQ(controlCommandPath(9963779, -5), "/?action=command&dest=0&plugin=0&id=9963779&group=01&value=-5");
}
