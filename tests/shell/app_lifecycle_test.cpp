// The application object from start-up to exit, with its main window.
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CScoparaApp.h"

#include "capture/core/avi_writer.h"
#include "capture/core/clip_repair.h"
#include "capture/device/simulated_backend.h"

#include "platform/registry.h"

#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QDateTime>
#include <QFile>
#include <QMdiArea>
#include <QtTest>

using namespace shell;
using namespace base;

class AppLifecycleTest : public QObject {
    Q_OBJECT

private:
    // One simulated microscope for every test, so start-up finds one.
    capture::SimulatedBackend m_microscope{1};

    CScoparaApp::Options optionsFor(const testing_support::Sandbox& box)
    {
        CScoparaApp::Options o;
        o.cameras = &m_microscope;
        o.environment = {box.programFolder(), box.documents() + QLatin1String("/Vellumet"), QLocale(QLocale::English)};
        return o;
    }

private Q_SLOTS:
    void startsWithAnEmptyMainWindowAndEverythingInPlace()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        platform::Registry registry(box.registryFile());
        CScoparaApp app(registry, optionsFor(box));
        QCOMPARE(CScoparaApp::instance(), &app);
        QVERIFY(app.InitInstance());

        QVERIFY(app.mainFrame());
        QVERIFY(app.mainFrame()->isVisible());
        QVERIFY(app.mainFrame()->windowState() & Qt::WindowMaximized);
        QCOMPARE(app.mainFrame()->mdiArea()->subWindowList().size(), 0);
        QCOMPARE(app.workingBuffer().size(), CScoparaApp::kWorkingBufferSize);
        QVERIFY(!app.keepsComputerAwake());  // no desktop bus in the test environment

        QStringList order;
        for (const auto& t : app.docTemplates().all())
            order << t->docClass() + QLatin1Char('/') + t->viewClass();
        QCOMPARE(order,
                 (QStringList{"CScoparaDoc/CScoparaView", "CDeviceDoc/CDeviceView", "CDeviceTWODoc/CDeviceTWOView",
                              "CDeviceTHREEDoc/CDeviceTHREEView", "CDeviceFOURDoc/CDeviceFOURView",
                              "CDeviceFIVEDoc/CDeviceFIVEView", "CDeviceSixDoc/CDeviceSixView"}));
        // Pictures and the five USB slots open; the WiFi slot waits for its view.
        for (const auto& t : app.docTemplates().all())
            QCOMPARE(t->canOpen(), t->kind() != DocKind::WifiSlot);

        app.mainFrame()->close();
        QTRY_VERIFY(!app.mainFrame());  // deleted on close
        app.ExitInstance();
        QVERIFY(app.workingBuffer().isEmpty());
        QVERIFY(registry.snapshot().keyExists(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace")));
    }

    // A clip a crash left without its index gets it back at the next start,
    // on a thread of its own: the main window does not wait for it.
    void aClipACrashCutShortIsRepairedAtTheNextStart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        platform::Registry registry(box.registryFile());
        QString clip;
        {
            CScoparaApp first(registry, optionsFor(box));
            QVERIFY(first.InitInstance());
            clip = first.settings().paths.currentVideoFolder() + QLatin1String("/20240105103000.avi");
            first.ExitInstance();
        }
        {
            capture::AviWriter writer;
            capture::AviStreamFormat format;
            format.width = 64;
            format.height = 48;
            format.codec = capture::AviCodec::Bgr24;
            QVERIFY(writer.open(clip, format));
            const std::vector<uint8_t> rows(capture::aviFrameBytes(format), 80);
            for (int i = 0; i < 5; ++i)
                QVERIFY(writer.writeFrame(rows.data(), rows.size()));
            writer.close();
        }
        QFile cut(clip);
        QVERIFY(cut.resize(cut.size() - 200));  // the index and a piece of the last frame
        QVERIFY(cut.open(QIODevice::ReadWrite));
        QVERIFY(cut.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        cut.close();
        QCOMPARE(capture::inspectClip(clip), capture::ClipCondition::Unfinished);

        CScoparaApp app(registry, optionsFor(box));
        QVERIFY(app.InitInstance());
        QTRY_COMPARE(capture::inspectClip(clip), capture::ClipCondition::Whole);
        app.ExitInstance();
    }

    void windowLayoutComesBackAtTheNextStart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        platform::Registry registry(box.registryFile());
        {
            CScoparaApp::Options o = optionsFor(box);
            o.showWindow = false;
            CScoparaApp app(registry, o);
            QVERIFY(app.InitInstance());
            app.mainFrame()->setGeometry(40, 50, 700, 500);
            app.mainFrame()->show();
            app.mainFrame()->close();
            QTRY_VERIFY(!app.mainFrame());
        }
        CScoparaApp::Options o = optionsFor(box);
        o.showWindow = false;
        CScoparaApp app(registry, o);
        QVERIFY(app.InitInstance());
        QCOMPARE(app.mainFrame()->size(), QSize(700, 500));
    }

    void cleanWorkspaceFlagErasesTheStoredLayoutAtExit()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        platform::Registry registry(box.registryFile());
        CScoparaApp app(registry, optionsFor(box));
        QVERIFY(app.InitInstance());
        app.settings().cleanWorkspace = true;
        app.mainFrame()->close();  // saves the layout first
        QTRY_VERIFY(!app.mainFrame());
        QVERIFY(registry.snapshot().keyExists(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace")));
        app.ExitInstance();
        QVERIFY(!registry.snapshot().keyExists(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace")));
        QVERIFY(registry.snapshot().keyExists(QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation")));
    }

    void settingsChangedDuringTheRunAreWrittenAtOnce()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        platform::Registry registry(box.registryFile());
        CScoparaApp app(registry, optionsFor(box));
        QVERIFY(app.InitInstance());
        app.settings().registry.g_szBmporjpgDPI = 300;
        QVERIFY(app.saveRegistrySettings());
        app.settings().toggles.imageHFlipSelected = 1;
        QVERIFY(app.saveImageToggles());
        quint32 dpi = 0;
        registry.queryDword(QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation"), QStringLiteral("g_szBmporjpgDPI"), dpi);
        QCOMPARE(dpi, 300u);
        QCOMPARE(readImageToggles(app.settings().paths.imageTogglesIni()).imageHFlipSelected, 1);
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(AppLifecycleTest)
#include "app_lifecycle_test.moc"
