#include "CScoparaApp.h"

#include "CMainFrame.h"

#include "shell/core/registry_settings.h"
#include "shell/core/restore_settings.h"

#include "platform/registry.h"
#include "platform/sleep_inhibitor.h"

namespace shell {

namespace {

CScoparaApp* g_app = nullptr;

}  // namespace

CScoparaApp::CScoparaApp(platform::Registry& registry, Options options)
    : m_registry(registry), m_options(std::move(options))
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
    m_settings = loadAppSettings(m_registry, m_options.environment);

    if (m_options.keepAwake)
        m_inhibitor = std::make_unique<platform::SleepInhibitor>(QStringLiteral("Vellumet"),
                                                                 QStringLiteral("Showing live microscope pictures"));

    m_templates.registerAll();

    m_mainFrame = new CMainFrame(m_registry);
    m_mainFrame->setAttribute(Qt::WA_DeleteOnClose);
    m_mainFrame->restoreWorkspace();

    if (m_workingBuffer.isEmpty())
        m_workingBuffer = QByteArray(kWorkingBufferSize, '\0');

    if (m_options.showWindow)
        m_mainFrame->showMaximized();
    m_started = true;
    return true;
}

int CScoparaApp::ExitInstance()
{
    if (!m_started)
        return 0;
    m_started = false;
    delete m_mainFrame.data();  // still open when start-up was cut short
    m_inhibitor.reset();
    m_workingBuffer = QByteArray();
    if (m_settings.cleanWorkspace)
        m_registry.deleteTree(kWorkspaceKey);
    return 0;
}

bool CScoparaApp::keepsComputerAwake() const
{
    return m_inhibitor && (m_inhibitor->holdsSleepLock() || m_inhibitor->holdsScreenSaverLock());
}

bool CScoparaApp::saveRegistrySettings()
{
    return shell::saveRegistrySettings(m_registry, m_settings.registry);
}

bool CScoparaApp::saveImageToggles()
{
    return shell::saveImageToggles(m_settings.paths.imageTogglesIni(), m_settings.toggles);
}

void CScoparaApp::restoreSettings(const QString& rebootText)
{
    shell::restoreSettings(m_registry, m_settings.paths.calibrationFolder(), rebootText);
}

}  // namespace shell
