#include "CScoparaApp.h"

#include "CDevicesDlg.h"
#include "CMainFrame.h"
#include "CPanes.h"

#include "capture/core/clip_repair.h"
#include "capture/ui/LiveWindows.h"

#include "base/registry_settings.h"
#include "base/saved_folder_count.h"
#include "base/text_lookup.h"
#include "platform/standard_texts.h"
#include "shell/core/restore_settings.h"

#include "measure/core/calibration_profiles.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"
#include "platform/registry.h"
#include "platform/sleep_inhibitor.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTranslator>

namespace shell {

namespace {

CScoparaApp* g_app = nullptr;

}  // namespace

CScoparaApp::CScoparaApp(platform::Registry& registry, Options options) : m_registry(registry), m_options(std::move(options))
{
    Q_ASSERT(!g_app);
    g_app = this;
}

CScoparaApp::~CScoparaApp()
{
    ExitInstance();
    g_app = nullptr;
}

CScoparaApp* CScoparaApp::instance()
{
    return g_app;
}

bool CScoparaApp::InitInstance()
{
    m_settings = base::loadAppSettings(m_registry, m_options.environment);
    base::setLanguageFile(m_settings.paths.languageFile);
    installStandardTexts();
    startClipRepair();

    if (m_options.keepAwake)
        m_inhibitor = std::make_unique<platform::SleepInhibitor>(QStringLiteral("Vellumet"),
                                                                 QStringLiteral("Showing live microscope pictures"));

    m_measure.unit = m_settings.registry.s_tool_active_unit;
    m_measure.decimals = static_cast<int>(m_settings.registry.g_szMeasuredecimal);
    m_measure.fontSize = static_cast<int>(m_settings.registry.m_tool_font_size);
    m_measure.lineWidth = static_cast<int>(m_settings.registry.m_tool_width);
    const QStringList damagedProfiles = measure::loadActiveProfile(m_measure, m_settings.paths.settingsFolder());

    m_templates.registerAll();

    m_mainFrame = new CMainFrame(*this);
    m_mainFrame->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_mainFrame->restoreWorkspace())
        m_mainFrame->fitToScreen();

    if (m_workingBuffer.isEmpty())
        m_workingBuffer = QByteArray(kWorkingBufferSize, '\0');

    if (m_options.showWindow)
        m_mainFrame->showMaximized();
    m_started = true;
    for (const QString& name : damagedProfiles)
        platform::messageDialogs().inform(measure::damagedProfileMessage(name));
    for (const platform::SetAsideFile& file : platform::takeSetAsideFiles())
        platform::messageDialogs().inform(
            base::uiText("SettingsDamaged",
                         "The settings file %1 was damaged (%2). It was kept as %3, and the default settings are used.",
                         base::kMessageCapacity)
                .arg(file.path, file.why, file.keptAs));
    // Pictures to open are why this start was made: no stop at "No Connect
    // Microscope" before them.
    m_mainFrame->liveWindows().enumerate(m_options.pictures.isEmpty());
    for (const QString& path : m_options.pictures)
        m_mainFrame->openPicture(path);
    return true;
}

void CScoparaApp::startClipRepair()
{
    if (m_clipRepair.joinable())
        return;
    QStringList videoFolders;
    for (const QString& folder : base::savedFileFolders(m_settings.paths.foldersRoot))
        videoFolders.append(folder + QLatin1String("/Video"));
    const QString current = QFileInfo(m_settings.paths.currentVideoFolder()).absoluteFilePath();
    if (!videoFolders.contains(current))
        videoFolders.append(current);
    // Clips this run writes are newer than this and are left alone.
    const QDateTime started = QDateTime::currentDateTime();
    m_stopClipRepair = false;
    m_clipRepair = std::thread(
        [this, videoFolders, started] { capture::repairUnfinishedClips(videoFolders, started, &m_stopClipRepair); });
}

int CScoparaApp::ExitInstance()
{
    m_stopClipRepair = true;
    if (m_clipRepair.joinable())
        m_clipRepair.join();
    if (!m_started)
        return 0;
    m_started = false;
    delete m_mainFrame.data();  // still open when start-up was cut short
    m_inhibitor.reset();
    m_workingBuffer = QByteArray();
    m_qtTexts.reset();
    if (m_settings.cleanWorkspace)
        m_registry.deleteTree(base::kWorkspaceKey);
    return 0;
}

void CScoparaApp::installStandardTexts()
{
    m_qtTexts = platform::installStandardTexts(m_settings.uiLanguageMainId, m_settings.uiLanguageSubId);
}

void CScoparaApp::openHandedPictures(const QStringList& paths)
{
    if (!m_mainFrame)
        return;
    if (m_mainFrame->isMinimized())
        m_mainFrame->showMaximized();
    m_mainFrame->raise();
    m_mainFrame->activateWindow();
    for (const QString& path : paths)
        m_mainFrame->openPicture(path);
}

bool CScoparaApp::keepsComputerAwake() const
{
    return m_inhibitor && (m_inhibitor->holdsSleepLock() || m_inhibitor->holdsScreenSaverLock());
}

bool CScoparaApp::saveRegistrySettings()
{
    base::RegistrySettings& r = m_settings.registry;
    r.s_tool_active_unit = m_measure.unit;
    r.g_szMeasuredecimal = static_cast<quint32>(m_measure.decimals);
    r.m_tool_font_size = static_cast<quint32>(m_measure.fontSize);
    r.m_tool_width = static_cast<quint32>(m_measure.lineWidth);
    return base::saveRegistrySettings(m_registry, r);
}

bool CScoparaApp::saveImageToggles()
{
    return base::saveImageToggles(m_settings.paths.imageTogglesIni(), m_settings.toggles);
}

void CScoparaApp::restoreSettings(const QString& rebootText)
{
    shell::restoreSettings(m_registry, m_settings.paths.calibrationFolder(), rebootText);
    // The main window stores its layout, look and toolbars again as it
    // closes; they are erased at exit, so the next start looks like the first.
    m_settings.cleanWorkspace = true;
}

}  // namespace shell
