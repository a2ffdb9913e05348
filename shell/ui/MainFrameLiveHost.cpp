// What the picture and live windows ask of the main window: the settings,
// the status bar, the room they may fill, the Resolution menu, coming to the top.
#include "CMainFrame.h"

#include "files/browser/CThumbnailsFormView.h"
#include "files/browser/CThumbnailsFormViewEnlarged.h"

#include "CPanes.h"
#include "CScoparaApp.h"
#include "CommandRouter.h"

#include "base/command_ids.h"
#include "base/registry_settings.h"
#include "files/ui/CPropertiesWnd.h"

#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>

namespace shell {

base::AppSettings& CMainFrame::settings()
{
    return m_app.settings();
}

measure::MeasureState& CMainFrame::measure()
{
    return m_app.measure();
}

bool CMainFrame::saveRegistrySettings()
{
    return m_app.saveRegistrySettings();
}

bool CMainFrame::saveImageToggles()
{
    return m_app.saveImageToggles();
}

void CMainFrame::writeCrosshair(quint32 value)
{
    base::writeCrosshair(m_app.registry(), value);
}

quint32 CMainFrame::readCrosshair()
{
    return base::readCrosshair(m_app.registry());
}

void CMainFrame::writeCameraModel(quint32 model)
{
    m_app.registry().setDword(base::kConfigKey, QStringLiteral("Camera"), model);
}

QByteArray* CMainFrame::magnifierBuffer()
{
    return &m_app.workingBuffer();
}

int CMainFrame::magnifierMode() const
{
    return m_browser ? m_browser->magnifierLevel() : 0;
}

QObject* CMainFrame::magnifierWindow()
{
    return m_browser ? m_browser->magnifier() : nullptr;
}

void CMainFrame::showProgress(int percent)
{
    if (!m_progress) {
        m_progress = new QProgressBar(statusBar());
        m_progress->setObjectName(QStringLiteral("PictureProgress"));
        m_progress->setRange(0, 100);
        m_progress->setMaximumWidth(200);
        statusBar()->addWidget(m_progress);
    }
    m_progress->setVisible(percent >= 0);
    m_progress->setValue(std::clamp(percent, 0, 100));
}

QSize CMainFrame::fullScreenArea() const
{
    int width = size().width();
    for (const QDockWidget* pane :
         {static_cast<const QDockWidget*>(m_devicePane), static_cast<const QDockWidget*>(m_folderPane)}) {
        if (pane->isVisible() && !pane->isFloating())
            width -= pane->width();
    }
    int height = size().height() - (statusBar()->isVisible() ? statusBar()->height() : 0);
    if (menuWidget())
        height -= menuWidget()->height();
    return {width - 30, height - 100};
}

void CMainFrame::showResolutions(const QStringList& sizes)
{
    m_resolutionMenu->clear();
    for (qsizetype i = 0; i < sizes.size() && i < qsizetype(base::cmd::kResolutionCommands.size()); ++i) {
        if (sizes[i].isEmpty())
            continue;
        QAction* a = m_router->action(base::cmd::kResolutionCommands[static_cast<size_t>(i)], this);
        a->setText(sizes[i]);
        m_resolutionMenu->addAction(a);
    }
    m_resolutionMenu->setEnabled(!m_resolutionMenu->isEmpty());
    m_router->refresh();
}

void CMainFrame::bringToFront(QWidget* view)
{
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (w->widget() == view) {
            if (w->isMinimized())
                w->showNormal();
            m_mdiArea->setActiveSubWindow(w);
            view->setFocus();
        }
    }
    activateWindow();
    raise();
}

}  // namespace shell
