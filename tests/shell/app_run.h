#pragma once

#include "shell/ui/CDevicesDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPanes.h"
#include "shell/ui/CScoparaApp.h"
#include "shell/ui/CommandRouter.h"

#include "capture/device/simulated_backend.h"

#include "platform/registry.h"

#include "sandbox.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>

#include <memory>

namespace testing_support {

// One run of the program on a sandbox, start-up to exit, with three
// simulated microscopes unless the test brings cameras of its own.
struct AppRun {
    capture::SimulatedBackend microscopes{3};
    platform::Registry registry;
    std::unique_ptr<shell::CScoparaApp> app;

    explicit AppRun(const Sandbox& box, capture::CaptureBackend* cameras = nullptr, const QStringList& pictures = {})
        : registry(box.registryFile())
    {
        shell::CScoparaApp::Options o;
        o.cameras = cameras ? cameras : &microscopes;
        o.environment = {box.programFolder(), box.documents() + QLatin1String("/Vellumet"), QLocale(QLocale::English)};
        o.pictures = pictures;
        app = std::make_unique<shell::CScoparaApp>(registry, o);
        app->InitInstance();
    }
    ~AppRun()
    {
        if (app->mainFrame())
            app->mainFrame()->closeWithoutAsking();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app->ExitInstance();
    }
    shell::CMainFrame& frame() { return *app->mainFrame(); }
    QAction* action(int id) { return frame().router().find(id); }
    // The slot buttons, once start-up's 1172 has been delivered.
    shell::CDevicesDlg* slotButtons()
    {
        QCoreApplication::sendPostedEvents();
        return frame().deviceManagerPane()->devicesDlg();
    }
    void refresh() { frame().router().refresh(); }
    // The main window on screen at `size`; false when it never showed.
    bool showFrame(QSize size)
    {
        frame().resize(size);
        frame().show();
        return QTest::qWaitForWindowExposed(&frame());
    }
};

}  // namespace testing_support
