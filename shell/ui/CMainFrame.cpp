#include "CMainFrame.h"

#include "shell/core/registry_settings.h"

#include "platform/registry.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QScreen>

namespace shell {

namespace {

const QString kGeometryValue = QStringLiteral("MainFrameGeometry");
const QString kStateValue = QStringLiteral("MainFrameState");

}  // namespace

CMainFrame::CMainFrame(platform::Registry& registry, QWidget* parent)
    : QMainWindow(parent), m_registry(registry), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Vellumet"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setViewMode(QMdiArea::SubWindowView);
    setCentralWidget(m_mdiArea);
}

bool CMainFrame::restoreWorkspace()
{
    const platform::RegistryTree tree = m_registry.snapshot();
    QByteArray geometry, state;
    if (tree.queryBinary(kWorkspaceKey, kGeometryValue, geometry) != platform::RegStatus::Ok)
        return false;
    tree.queryBinary(kWorkspaceKey, kStateValue, state);
    return restoreGeometry(geometry) && (state.isEmpty() || restoreState(state));
}

void CMainFrame::saveWorkspace()
{
    const QByteArray geometry = saveGeometry();
    const QByteArray state = saveState();
    m_registry.update([&](platform::RegistryTree& t) {
        t.setValue(kWorkspaceKey, platform::RegValue::ofBinary(kGeometryValue, geometry));
        t.setValue(kWorkspaceKey, platform::RegValue::ofBinary(kStateValue, state));
    });
}

void CMainFrame::fitToScreen()
{
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();  // a window refused to close
        return;
    }
    saveWorkspace();
    event->accept();
}

}  // namespace shell
