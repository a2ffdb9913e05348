#pragma once

#include "CDocTemplate.h"

#include "base/app_settings.h"

#include "measure/core/measure_state.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

class QTranslator;

namespace capture {
class CaptureBackend;
class NetworkCamera;
}  // namespace capture

namespace platform {
class Registry;
class SleepInhibitor;
}  // namespace platform

namespace shell {

class CMainFrame;

// The application object: start-up and shut-down of the main program, and
// the owner of the paths, the settings and the shared working buffer every
// window reads.
class CScoparaApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        base::StartupEnvironment environment;
        bool keepAwake = true;   // hold the sleep inhibitor while running
        bool showWindow = true;  // show the main window maximised
        QStringList pictures;    // opened once the main window is up (the command line's files)
        // The cameras of this run, chosen by the program; not owned. None: no camera is found.
        capture::CaptureBackend* cameras = nullptr;
        // The WiFi microscope of this run, chosen by the program; not owned.
        capture::NetworkCamera* wifiCamera = nullptr;
    };

    static constexpr qsizetype kWorkingBufferSize = 120000;

    CScoparaApp(platform::Registry& registry, Options options);
    ~CScoparaApp() override;

    // The one application object of the process, or nullptr.
    static CScoparaApp* instance();

    // Start-up; false when the program cannot start (it then exits).
    bool InitInstance();
    // Shut-down: releases what start-up took. Safe to call more than once.
    int ExitInstance();

    base::AppSettings& settings() { return m_settings; }
    const base::AppSettings& settings() const { return m_settings; }
    measure::MeasureState& measure() { return m_measure; }
    capture::CaptureBackend* cameras() const { return m_options.cameras; }
    capture::NetworkCamera* wifiCamera() const { return m_options.wifiCamera; }
    platform::Registry& registry() { return m_registry; }
    CMainFrame* mainFrame() const { return m_mainFrame; }
    const DocTemplateList& docTemplates() const { return m_templates; }
    DocTemplateList& docTemplates() { return m_templates; }
    QByteArray& workingBuffer() { return m_workingBuffer; }
    bool keepsComputerAwake() const;

    // Write the settings back after a change ("RegKey Error" on failure);
    // the measurement values are taken from the measurement state.
    bool saveRegistrySettings();
    bool saveImageToggles();
    // Pictures another start of the program was asked to open: each in a
    // window, and the main window to the front.
    void openHandedPictures(const QStringList& paths);

    // The "Restore Settings" reset, after the user confirmed it; the stored
    // window layout goes at exit too.
    void restoreSettings(const QString& rebootText);

private:
    void installStandardTexts();
    // Clips a crash or power cut left without their index get it back, on a
    // thread of their own: a long clip takes a while to copy.
    void startClipRepair();

    platform::Registry& m_registry;
    Options m_options;
    base::AppSettings m_settings;
    measure::MeasureState m_measure;
    DocTemplateList m_templates;
    QPointer<CMainFrame> m_mainFrame;
    std::unique_ptr<platform::SleepInhibitor> m_inhibitor;
    std::unique_ptr<QTranslator> m_qtTexts;
    QByteArray m_workingBuffer;
    std::thread m_clipRepair;
    std::atomic<bool> m_stopClipRepair{false};
    bool m_started = false;
};

}  // namespace shell
