#include "CMainFrame.h"

#include "AppLook.h"
#include "CPanes.h"
#include "CScoparaApp.h"
#include "CommandRouter.h"
#include "UserToolbars.h"

#include "base/command_tables.h"
#include "base/registry_settings.h"
#include "base/text_lookup.h"
#include "shell/core/calibration_files.h"

#include "files/browser/CThumbnailsFormView.h"
#include "files/ui/CPropertiesWnd.h"
#include "measure/core/calibration_profiles.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"
#include "platform/registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStatusBar>

namespace shell {

namespace {

const QString kGeometryValue = QStringLiteral("MainFrameGeometry");
const QString kStateValue = QStringLiteral("MainFrameState");
const QString kAppLookValue = QStringLiteral("ApplicationLook");

// Widths of the status bar panes after the text pane.
constexpr int kPaneWidths[] = {200, 600, 400, 80};

// A status bar pane that asks for its width but gives way on a small
// screen instead of forcing the window wider.
class StatusPane : public QLabel {
public:
    StatusPane(int width, QWidget* parent) : QLabel(parent), m_width(width) {}
    QSize sizeHint() const override { return {m_giveWay ? QLabel::sizeHint().width() : m_width, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {40, QLabel::minimumSizeHint().height()}; }

    // While the bar shows a message, the pane shrinks to its own text, so a
    // message naming a file and its folder can be read whole.
    void giveWay(bool on)
    {
        if (m_giveWay == on)
            return;
        m_giveWay = on;
        updateGeometry();
    }

private:
    int m_width;
    bool m_giveWay = false;
};

}  // namespace

CNewMFCToolBar::CNewMFCToolBar(QWidget* parent) : QToolBar(QStringLiteral("Standard"), parent)
{
    setObjectName(QStringLiteral("CNewMFCToolBar"));
    setIconSize(QSize(21, 21));
}

CMainFrame::CMainFrame(CScoparaApp& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_router(new CommandRouter(this)), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Vellumet"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vellumet.svg")));

    quint32 look = base::kDefaultAppLook;
    if (app.registry().queryDword(base::kWorkspaceKey, kAppLookValue, look) != platform::RegStatus::Ok)
        look = base::kDefaultAppLook;
    m_appLook = static_cast<int>(look);

    // Start-up made the folder tree; the frame only lists the profiles.
    m_calibrationFiles = listCalibrationFiles(app.settings().paths.calibrationFolder());

    applyAppLook(m_appLook);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);

    m_router->setTargetFinder([this] { return activeTarget(); });
    connect(m_mdiArea, &QMdiArea::subWindowActivated, m_router, &CommandRouter::refresh);

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createDockWindows();
    registerFrameCommands();
    createDeviceWatching();
    createPictureWindows();
    relabel();
    showCalibrationName(false);
    m_router->refresh();
}

CMainFrame::~CMainFrame() = default;

base::CommandTarget* CMainFrame::activeTarget() const
{
    const QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
    return sub ? dynamic_cast<base::CommandTarget*>(sub->widget()) : nullptr;
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 4; ++i) {
        auto* pane = new StatusPane(kPaneWidths[i], bar);
        pane->setObjectName(QStringLiteral("StatusPane%1").arg(i));
        if (i == 0)
            bar->addWidget(pane, 1);
        else
            bar->addPermanentWidget(pane);
        m_panes.append(pane);
    }
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        for (int i = 1; i < m_panes.size(); ++i)
            static_cast<StatusPane*>(m_panes[i])->giveWay(!message.isEmpty());
    });
}

void CMainFrame::setPaneText(int pane, const QString& text, QColor colour)
{
    if (pane < 0 || pane >= m_panes.size())
        return;
    m_panes[pane]->setText(text);
    m_panes[pane]->setStyleSheet(colour.isValid() ? QStringLiteral("color: %1").arg(colour.name()) : QString());
}

void CMainFrame::showStatusMessage(const QString& text)
{
    // Long enough to read a file name and its folder.
    constexpr int kShownMs = 8000;
    statusBar()->showMessage(text, kShownMs);
}

void CMainFrame::showHint(const QString& text)
{
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(text);
}

QString CMainFrame::statusMessage() const
{
    return statusBar()->currentMessage();
}

QString CMainFrame::paneText(int pane) const
{
    return pane >= 0 && pane < m_panes.size() ? m_panes[pane]->text() : QString();
}

void CMainFrame::createDockWindows()
{
    m_devicePane = new CFileView(this);
    m_folderPane = new files::CPropertiesWnd(m_app.settings(), this);
    // The thumbnails of the current folder and the magnifier fill the pane under its toolbar.
    m_browser = new files::CThumbnailsFormView(m_app.settings().paths, &m_app.workingBuffer(), m_folderPane);
    m_folderPane->setBrowser(m_browser);
    connect(m_browser, &files::CThumbnailsFormView::openPictureRequested, this,
            [this](const QString& path) { openPicture(path); });
    addDockWidget(Qt::LeftDockWidgetArea, m_devicePane);
    addDockWidget(Qt::RightDockWidgetArea, m_folderPane);
    resizeDocks({m_devicePane, m_folderPane}, {190, 230}, Qt::Horizontal);
}

bool CMainFrame::restoreWorkspace()
{
    const platform::RegistryTree tree = m_app.registry().snapshot();
    QByteArray geometry, state;
    if (tree.queryBinary(base::kWorkspaceKey, kGeometryValue, geometry) != platform::RegStatus::Ok)
        return false;
    tree.queryBinary(base::kWorkspaceKey, kStateValue, state);
    return restoreGeometry(geometry) && (state.isEmpty() || restoreState(state));
}

void CMainFrame::saveWorkspace()
{
    const QByteArray geometry = saveGeometry();
    const QByteArray state = saveState();
    m_app.registry().update([&](platform::RegistryTree& t) {
        t.setValue(base::kWorkspaceKey, platform::RegValue::ofBinary(kGeometryValue, geometry));
        t.setValue(base::kWorkspaceKey, platform::RegValue::ofBinary(kStateValue, state));
        t.setValue(base::kWorkspaceKey, platform::RegValue::ofDword(kAppLookValue, static_cast<quint32>(m_appLook)));
    });
}

void CMainFrame::fitToScreen()
{
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
}

void CMainFrame::setAppLook(int lookId)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_appLook = lookId;
    applyAppLook(lookId);
    m_app.registry().setDword(base::kWorkspaceKey, kAppLookValue, static_cast<quint32>(lookId));
    QApplication::restoreOverrideCursor();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_closeConfirmed
        && !platform::messageDialogs().confirm(base::uiText("CloseTip", "Are you sure close?", base::kMessageCapacity))) {
        event->ignore();
        return;
    }
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();  // a window refused to close
        return;
    }
    saveWorkspace();
    event->accept();
}

bool CMainFrame::closeWithoutAsking()
{
    m_closeConfirmed = true;
    const bool closed = close();
    m_closeConfirmed = false;
    return closed;
}

void CMainFrame::reloadCalibrationFiles()
{
    m_calibrationFiles = listCalibrationFiles(m_app.settings().paths.calibrationFolder());
    showCalibrationName(false);
}

void CMainFrame::showCalibrationName(bool clear)
{
    const QString name = clear ? QString() : measure::profileDisplayName(m_app.measure().calibrationName);
    // A read-only line edit scrolls to the end of a long text, cutting off the
    // name's start: elide in the middle instead, so both ends stay readable.
    const int room = m_calibrationBox->contentsRect().width() - m_calibrationBox->textMargins().left()
        - m_calibrationBox->textMargins().right() - 8;
    m_calibrationBox->setText(m_calibrationBox->fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(room, 16)));
    m_calibrationBox->setCursorPosition(0);
    m_calibrationBox->setToolTip(name);
}

void CMainFrame::notifyMeasureChanged()
{
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (auto* target = dynamic_cast<base::CommandTarget*>(w->widget()))
            target->measureSettingsChanged();
    }
}

void CMainFrame::customEvent(QEvent* event)
{
    auto* message = static_cast<platform::PostedMessage*>(event);
    switch (message->number()) {
    case platform::msg::CalibrationListChanged:
        reloadCalibrationFiles();
        notifyMeasureChanged();
        break;
    case platform::msg::RefreshCalibrationName:
        showCalibrationName(message->wParam() != 0);
        notifyMeasureChanged();
        break;
    case platform::msg::OpenUsbSlotWindow: openUsbSlot(static_cast<int>(message->wParam())); break;
    case platform::msg::RebuildFolderPane:
    case platform::msg::RemoveFolder: m_folderPane->handleFolderMessage(*message); break;
    case platform::msg::FileSaved:
        // A picture or clip just saved: the browser adds its thumbnail.
        platform::postMessage(m_browser, message->number(), message->wParam(), message->lParam(), message->takePayload());
        break;
    default: QMainWindow::customEvent(event);
    }
}

}  // namespace shell
