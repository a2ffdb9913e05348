#include "CPanes.h"

#include "CDevicesDlg.h"

#include "base/text_lookup.h"

#include <QIcon>
#include <QVBoxLayout>

namespace shell {

namespace {

void setUp(QDockWidget* pane, const QString& objectName, const QString& icon)
{
    pane->setObjectName(objectName);
    pane->setWindowIcon(QIcon(icon));
    pane->setAllowedAreas(Qt::AllDockWidgetAreas);
    pane->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget;
    body->setObjectName(objectName + QLatin1String("Body"));
    new QVBoxLayout(body);
    body->setMinimumWidth(150);
    pane->setWidget(body);
}

}  // namespace

CFileView::CFileView(QWidget* parent) : QDockWidget(parent)
{
    relabel();
    setUp(this, QStringLiteral("CFileView"), QStringLiteral(":/icons/device-manager.svg"));
    // The slot buttons fill the pane less a pixel on each side.
    m_devices = new CDevicesDlg(widget());
    widget()->layout()->setContentsMargins(1, 1, 1, 1);
    widget()->layout()->addWidget(m_devices);
}

void CFileView::relabel()
{
    setWindowTitle(base::uiText("DeviceName", "Device Manager", base::kPaneTitleCapacity));
}

}  // namespace shell
