#include "wifi/sim/simulated_wifi_camera.h"

#include "wait_for.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <linux/videodev2.h>

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

using testing_support::waitFor;
using wifi::SimulatedWifiCamera;
using wifi::SimulatedWifiOptions;

namespace {

const CURLcode curlReady = curl_global_init(CURL_GLOBAL_DEFAULT);

struct Reply {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string headers, body, contentType;
};

size_t append(char* data, size_t size, size_t count, void* out)
{
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

// One GET with libcurl; `credentials` "user:password", or empty for none.
Reply get(quint16 port, const std::string& target, const std::string& credentials = "admin:pq7rw")
{
    Reply r;
    CURL* curl = curl_easy_init();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + target;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (!credentials.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
        curl_easy_setopt(curl, CURLOPT_USERPWD, credentials.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 5000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &r.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, append);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &r.headers);
    r.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &r.status);
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        r.contentType = type;
    curl_easy_cleanup(curl);
    return r;
}

// The JPEG parts of a multipart stream as they arrive; the transfer ends
// once `want` frames are in.
struct Stream {
    size_t want = 1;
    std::string pending;
    std::vector<std::string> frames;
    Reply reply;
};

size_t takeParts(char* data, size_t size, size_t count, void* out)
{
    auto* s = static_cast<Stream*>(out);
    s->pending.append(data, size * count);
    for (;;) {
        const size_t length = s->pending.find("Content-Length: ");
        const size_t end = s->pending.find("\r\n\r\n", length);
        if (length == std::string::npos || end == std::string::npos)
            break;
        const size_t n = std::stoul(s->pending.substr(length + 16, end - length - 16));
        if (s->pending.size() < end + 4 + n)
            break;
        s->frames.push_back(s->pending.substr(end + 4, n));
        s->pending.erase(0, end + 4 + n);
    }
    return s->frames.size() >= s->want ? 0 : size * count;  // 0 ends the transfer
}

Stream stream(quint16 port, size_t want, long timeoutMs = 10000)
{
    Stream s;
    s.want = want;
    CURL* curl = curl_easy_init();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/?action=stream";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_USERPWD, "admin:pq7rw");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, takeParts);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &s);
    s.reply.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &s.reply.status);
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        s.reply.contentType = type;
    curl_easy_cleanup(curl);
    return s;
}

struct Picture {
    int width = 0, height = 0;
    double mean = 0;
};

Picture decode(const std::string& jpeg)
{
    Picture p;
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK) {
        d.out_color_space = JCS_GRAYSCALE;
        jpeg_start_decompress(&d);
        p.width = int(d.output_width);
        p.height = int(d.output_height);
        std::vector<unsigned char> row(d.output_width);
        double sum = 0;
        while (d.output_scanline < d.output_height) {
            JSAMPROW r = row.data();
            jpeg_read_scanlines(&d, &r, 1);
            for (unsigned char v : row)
                sum += v;
        }
        p.mean = sum / (double(p.width) * p.height);
        jpeg_finish_decompress(&d);
    }
    jpeg_destroy_decompress(&d);
    return p;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const char* const DefaultModes = "1,1,640,480#2,1,1280,720#3,1,1600,1200#4,1,1920,1080#5,1,2592,1944";

class SimulatedWifiCameraTest : public ::testing::Test {
protected:
    void startCamera(SimulatedWifiOptions options = {})
    {
        options.settleMs = 200;
        camera = std::make_unique<SimulatedWifiCamera>(options);
        QString why;
        ASSERT_TRUE(camera->start(&why)) << why.toStdString();
    }
    void SetUp() override { ASSERT_EQ(curlReady, CURLE_OK); }

    std::unique_ptr<SimulatedWifiCamera> camera;
};

TEST_F(SimulatedWifiCameraTest, PagesAndStreamNeedBasicAuthentication)
{
    startCamera();
    const Reply none = get(camera->pagePort(), "/media.asp", "");
    EXPECT_EQ(none.status, 401);
    EXPECT_TRUE(contains(none.headers, "WWW-Authenticate: Basic realm=\"camera\"\r\n")) << none.headers;
    EXPECT_EQ(get(camera->pagePort(), "/media.asp", "admin:wrong").status, 401);
    EXPECT_EQ(get(camera->streamPort(), "/?action=stream", "").status, 401);
    EXPECT_EQ(get(camera->pagePort(), "/media.asp").status, 200);
}

TEST_F(SimulatedWifiCameraTest, MediaPageListsTheModesAndTheSavedOne)
{
    SimulatedWifiOptions options;
    options.modes = "1,1,640,480#2,0,1280,720#3,1,1920,1080";
    options.savedIndex = 2;
    startCamera(options);
    const Reply page = get(camera->pagePort(), "/media.asp");
    ASSERT_EQ(page.status, 200);
    const size_t list = page.body.find("var cameraList = \"1,1,640,480#2,0,1280,720#3,1,1920,1080\";");
    const size_t saved = page.body.find("var video_idx_save = \"2\";");
    ASSERT_NE(list, std::string::npos) << page.body;
    ASSERT_NE(saved, std::string::npos) << page.body;
    EXPECT_LT(list, saved);
}

TEST_F(SimulatedWifiCameraTest, WizardPageGivesWidthAfterTheListAndTheSixControls)
{
    startCamera();
    const Reply page = get(camera->pagePort(), "/wizardvideo.asp");
    ASSERT_EQ(page.status, 200);
    EXPECT_TRUE(contains(page.body, std::string("var cameraList = \"") + DefaultModes + "\";\nvar cameraWidth = \"1280\";\n"))
        << page.body;
    EXPECT_TRUE(contains(page.body,
                         "var controls = [ {\"name\": \"Brightness\", \"id\": \"9963776\", \"type\": \"1\", \"min\": "
                         "\"0\", \"max\": \"255\", \"step\": \"1\", \"default\": \"128\", \"value\": \"128\"},\n{"
                         "\"name\": \"Contrast\", \"id\": \"9963777\""))
        << page.body;
    for (const char* id : {"9963778", "9963779", "9963792"})
        EXPECT_TRUE(contains(page.body, std::string("\"id\": \"") + id + "\"")) << id;
    EXPECT_TRUE(contains(page.body,
                         "{\"name\": \"Sharpness\", \"id\": \"9963803\", \"type\": \"1\", \"min\": \"0\", \"max\": "
                         "\"6\", \"step\": \"1\", \"default\": \"3\", \"value\": \"3\"} ];"))
        << page.body;
}

TEST_F(SimulatedWifiCameraTest, StreamSendsJpegFramesOfTheCurrentSize)
{
    startCamera();
    const Stream s = stream(camera->streamPort(), 2);
    EXPECT_EQ(s.reply.status, 200);
    EXPECT_EQ(s.reply.contentType, "multipart/x-mixed-replace; boundary=boundarydonotcross");
    ASSERT_EQ(s.frames.size(), 2u);
    const Picture p = decode(s.frames[1]);
    EXPECT_EQ(p.width, 1280);
    EXPECT_EQ(p.height, 720);
}

TEST_F(SimulatedWifiCameraTest, SeveralClientsReceiveTheSameEncodedFrames)
{
    SimulatedWifiOptions options;
    options.savedIndex = 0;
    options.fps = 15;
    startCamera(options);
    Stream a, b;
    std::thread first([&] { a = stream(camera->streamPort(), 8); });
    std::thread second([&] { b = stream(camera->streamPort(), 8); });
    first.join();
    second.join();
    ASSERT_EQ(a.frames.size(), 8u);
    ASSERT_EQ(b.frames.size(), 8u);
    // The sensor's noise differs from frame to frame: equal bytes are one encode.
    const std::set<std::string> seen(a.frames.begin(), a.frames.end());
    EXPECT_TRUE(std::any_of(b.frames.begin(), b.frames.end(), [&](const std::string& f) { return seen.count(f) > 0; }));
    EXPECT_LT(camera->framesEncoded(), camera->framesSent());
}

TEST_F(SimulatedWifiCameraTest, FramesComeAtTheFrameRate)
{
    SimulatedWifiOptions options;
    options.savedIndex = 0;
    options.fps = 10;
    startCamera(options);
    QElapsedTimer timer;
    timer.start();
    const Stream s = stream(camera->streamPort(), 11);
    const qint64 ms = timer.elapsed();
    ASSERT_EQ(s.frames.size(), 11u);
    // The first frame at once, then one every 100 ms.
    EXPECT_GT(ms, 850);
    EXPECT_LT(ms, 1600);
}

TEST_F(SimulatedWifiCameraTest, ApplyClosesTheStreamsAndRefusesThemWhileSettling)
{
    startCamera();
    Stream open;
    std::thread client([&] { open = stream(camera->streamPort(), 1000); });
    ASSERT_TRUE(waitFor([&] { return camera->streamClients() == 1; }));
    const Reply applied = get(camera->pagePort(),
                              "/apply.cgi?submit_button=media&change_action=&action=Apply&refresh_ddns=1&"
                              "video_port=8899&video_idx=0&video_frame=30&only_stream=0&auth_need=0");
    const Reply refused = get(camera->streamPort(), "/?action=stream");
    QElapsedTimer timer;
    timer.start();
    client.join();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(applied.status, 200);
    EXPECT_LT(open.frames.size(), 1000u);
    EXPECT_TRUE(refused.code != CURLE_OK || refused.status == 503) << refused.status;
    EXPECT_EQ(camera->currentMode(), 0);
}

TEST_F(SimulatedWifiCameraTest, ApplySwitchesTheStreamSizeAfterSettling)
{
    startCamera();
    ASSERT_EQ(get(camera->pagePort(),
                  "/apply.cgi?submit_button=media&change_action=&action=Apply&refresh_ddns=1&"
                  "video_port=8899&video_idx=0&video_frame=30&only_stream=0&auth_need=0")
                  .status,
              200);
    QThread::msleep(300);
    const Stream s = stream(camera->streamPort(), 1);
    ASSERT_EQ(s.frames.size(), 1u);
    const Picture p = decode(s.frames[0]);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_TRUE(contains(get(camera->pagePort(), "/media.asp").body, "var video_idx_save = \"0\";"));
}

TEST_F(SimulatedWifiCameraTest, ApplyRefusesAnUnknownOrUnusableMode)
{
    SimulatedWifiOptions options;
    options.modes = "1,1,640,480#2,1,1280,720#3,0,1920,1080";
    startCamera(options);
    for (const char* index : {"2", "7", "x"}) {
        const Reply r = get(camera->pagePort(), std::string("/apply.cgi?submit_button=media&action=Apply&video_idx=") + index);
        EXPECT_EQ(r.status, 400) << index;
    }
    EXPECT_EQ(camera->currentMode(), 1);
    EXPECT_EQ(decode(stream(camera->streamPort(), 1).frames.at(0)).width, 1280);
}

TEST_F(SimulatedWifiCameraTest, BrightnessCommandBrightensThePicture)
{
    SimulatedWifiOptions options;
    options.savedIndex = 0;
    startCamera(options);
    ASSERT_EQ(get(camera->streamPort(), "/?action=command&dest=0&plugin=0&id=9963776&group=01&value=0").status, 200);
    // The third frame: a new client first gets the latest one, and the next
    // may have been under way before the command.
    const double before = decode(stream(camera->streamPort(), 3).frames.at(2)).mean;
    const Reply r = get(camera->streamPort(), "/?action=command&dest=0&plugin=0&id=9963776&group=01&value=255");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "OK");
    EXPECT_EQ(camera->control(V4L2_CID_BRIGHTNESS), 255);
    const double after = decode(stream(camera->streamPort(), 3).frames.at(2)).mean;
    EXPECT_GT(after, before + 40);
    EXPECT_TRUE(contains(get(camera->pagePort(), "/wizardvideo.asp").body, "\"default\": \"128\", \"value\": \"255\"}"));
}

TEST_F(SimulatedWifiCameraTest, CommandClampsValuesAndRefusesUnknownControls)
{
    startCamera();
    EXPECT_EQ(get(camera->streamPort(), "/?action=command&dest=0&plugin=0&id=9963779&group=01&value=-999").status, 200);
    EXPECT_EQ(camera->control(V4L2_CID_HUE), -40);
    EXPECT_EQ(get(camera->streamPort(), "/?action=command&dest=0&plugin=0&id=9963780&group=01&value=1").status, 400);
}

TEST_F(SimulatedWifiCameraTest, TriggerTogglesOnEachPress)
{
    startCamera();
    auto state = [&] { return std::atoi(get(camera->pagePort(), "/updateNPNvram.cgi?camera_gpio_trigger").body.c_str()); };
    EXPECT_EQ(state(), 0);
    camera->pressTrigger();
    EXPECT_EQ(state(), 1);
    camera->pressTrigger();
    EXPECT_EQ(state(), 0);
}

TEST_F(SimulatedWifiCameraTest, PauseClosesAndRefusesUntilResume)
{
    SimulatedWifiOptions options;
    options.savedIndex = 0;
    startCamera(options);
    const quint16 pagePort = camera->pagePort(), streamPort = camera->streamPort();
    Stream open;
    std::thread client([&] { open = stream(streamPort, 1000); });
    ASSERT_TRUE(waitFor([&] { return camera->streamClients() == 1; }));
    camera->pause();
    client.join();
    EXPECT_LT(open.frames.size(), 1000u);
    EXPECT_EQ(camera->streamClients(), 0);
    EXPECT_EQ(get(pagePort, "/media.asp").code, CURLE_COULDNT_CONNECT);
    EXPECT_EQ(stream(streamPort, 1).reply.code, CURLE_COULDNT_CONNECT);

    camera->resume();
    EXPECT_EQ(camera->pagePort(), pagePort);
    EXPECT_EQ(get(pagePort, "/media.asp").status, 200);
    EXPECT_EQ(stream(streamPort, 1).frames.size(), 1u);
}

TEST_F(SimulatedWifiCameraTest, CountsRequestsByTarget)
{
    startCamera();
    get(camera->pagePort(), "/media.asp");
    get(camera->pagePort(), "/media.asp?x=1");
    get(camera->pagePort(), "/updateNPNvram.cgi?camera_gpio_trigger");
    EXPECT_EQ(camera->requests("/media.asp"), 2);
    EXPECT_EQ(camera->requests("/updateNPNvram.cgi"), 1);
    EXPECT_EQ(camera->requests("/apply.cgi"), 0);
}

}  // namespace
