#include "CDeviceView.h"

#include "capture/core/camera_profiles.h"

#include "LiveHotKeys.h"
#include "base/view_host.h"

#include "capture/core/live_tools.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "measure/core/shapes.h"

#include "measure/core/calibration_profiles.h"
#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/ShapeHost.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include "platform/known_folders.h"
#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace capture {

CDeviceView::CDeviceView(const StreamDescription& description, std::unique_ptr<CaptureSource> source, base::ViewHost& host,
                         QWidget* parent)
    : measure::ZoomedImageView(parent),
      m_doc(std::make_unique<CDeviceDoc>(description.title, host)),
      m_host(host),
      m_overlays(host),
      m_device(std::make_unique<LiveStream>(description)),
      m_secondTimer(new QTimer(this)),
      m_pacingTimer(new QTimer(this)),
      m_shownTimer(new QTimer(this)),
      m_shapes(std::make_shared<measure::VideoShapeList>())
{
    setObjectName(QStringLiteral("CDeviceView_") + description.id);
    setWindowTitle(m_doc->title());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_tools = std::make_unique<measure::ShapeHost>(viewport(), *this, host.measure(), nullptr, measure::ShapeHost::Clicks::Live);
    m_tools->setRecordSink(
        [this](std::unique_ptr<measure::CVideoShap> record) { replaceMeasurements(m_shapes->size(), -1, std::move(record)); });
    connect(m_tools.get(), &measure::ShapeHost::clickTaken, this, &CDeviceView::takeReferenceLine);
    connect(m_tools.get(), &measure::ShapeHost::hint, this, [this](const QString& text) { m_host.showHint(text); });
    m_secondTimer->setInterval(1000);
    m_pacingTimer->setInterval(200);
    connect(m_secondTimer, &QTimer::timeout, this, &CDeviceView::recordingTick);
    connect(m_pacingTimer, &QTimer::timeout, this, &CDeviceView::pacingTick);
    // Covering, moving and minimising tell the view nothing; a quarter of a
    // second is soon enough for a window coming back into sight.
    m_shownTimer->setInterval(250);
    connect(m_shownTimer, &QTimer::timeout, this, &CDeviceView::updateShown);
    connect(m_doc.get(), &CDeviceDoc::updated, this, &CDeviceView::documentUpdated);
    m_device->setNotifyWindow(this);
    connect(m_device.get(), &LiveStream::frameReady, viewport(), qOverload<>(&QWidget::update));
    connect(m_device.get(), &LiveStream::frameReady, this, [this] {
        if (viewport()->underMouse())
            feedMagnifier(m_magnifierAt);
    });
    connect(m_device.get(), &LiveStream::deviceGone, this, &CDeviceView::sourceGone, Qt::QueuedConnection);
    connect(m_device.get(), &LiveStream::clipFailed, this, &CDeviceView::clipFailed, Qt::QueuedConnection);

    m_connected = connectSource(std::move(source));
    m_caption = m_connected ? QString() : base::uiText("NoDevice", "No Device");
    initialUpdate();
    LiveHotKeys::instance().add(this);
}

CDeviceView::~CDeviceView()
{
    LiveHotKeys::instance().remove(this);
    // The clip is finished and the capture thread joined before anything it
    // reads goes away.
    m_device->Close();
    if (m_calibrationDlg)
        delete m_calibrationDlg.data();
}

QString CDeviceView::capConfigPath() const
{
    // The USB slots' last size; a camera that keeps its own mode (the WiFi
    // microscope) must not change what they open at.
    if (m_device->keepsItsMode())
        return {};
    // Beside the program in the build tree, in the user's own folders when installed.
    const QString folder = platform::programDataFolder(m_host.settings().paths.programFolder) + QLatin1String("/Setting");
    QDir().mkpath(folder);  // a failure only means the format is not kept
    return folder + QLatin1String("/CapConfig.dat");
}

// The stored format choice of this camera (slots 1 to 5); 0, YUY2, for any other.
int CDeviceView::formatChoice() const
{
    const auto& choices = m_host.settings().registry.g_szYuyOrMjpeg;
    const int key = m_device->description().settingsKey;
    return key >= 1 && static_cast<size_t>(key) <= std::size(choices) ? static_cast<int>(choices[static_cast<size_t>(key - 1)])
                                                                      : 0;
}

bool CDeviceView::connectSource(std::unique_ptr<CaptureSource> source)
{
    m_device->setHardwareSnapshot(m_host.settings().registry.isEnableSnap != 0);
    if (!m_device->Open(std::move(source)) || !m_device->Build(formatChoice(), capConfigPath()) || !m_device->CreateSurface()
        || !m_device->Run()) {
        m_device->Close();
        return false;
    }
    applyDefaultProfile();
    const int32_t model = m_device->cameraModel();
    if (model != 0)
        m_host.writeCameraModel(static_cast<quint32>(model));
    // These models stream YUY2 in every size they offer.
    auto& choices = m_host.settings().registry.g_szYuyOrMjpeg;
    const int key = m_device->description().settingsKey;
    if ((model == 2 || model == 3) && key >= 1 && static_cast<size_t>(key) <= std::size(choices))
        choices[static_cast<size_t>(key - 1)] = 1;
    return true;
}

void CDeviceView::applyDefaultProfile()
{
    const QString& kind = m_device->description().profileKind;
    const QString folder = profileFolder(m_host.settings().paths.settingsFolder(), kind);
    const QString name = defaultProfileName(folder);
    if (name.isEmpty())
        return;
    const ControlSettings settings = settingsForProfile(readProfile(profilePath(folder, name), kind), m_device->controls());
    for (const auto& [id, value] : settings.settings)
        m_device->setControl(id, value);
}

void CDeviceView::initialUpdate()
{
    if (m_connected)
        m_frameSize = QSize(m_device->width(), m_device->height());
    m_doc->setResolution(m_frameSize);
    const base::AppSettings& s = m_host.settings();
    measure::loadActiveProfile(m_host.measure(), s.paths.settingsFolder());
    platform::postMessage(m_host.mainWindow(), platform::msg::RefreshCalibrationName, 0);
    layOut();  // tells the renderer too
}

void CDeviceView::pushSettings()
{
    LiveViewSettings s;
    const picture::PictureZoom& z = m_doc->zoom();
    s.zoomX = z.x;
    s.zoomY = z.y;
    s.scrollX = scrollOffset().x();
    s.scrollY = scrollOffset().y();
    s.mirror = m_doc->mirror();
    s.flip = m_doc->flip();
    s.colourMode = m_doc->colourMode();
    s.overlay = m_overlays.overlay();
    s.overlay.colour = m_host.measure().colour;
    s.overlay.lineWidth = m_host.measure().lineWidth;
    s.statusText = m_statusText;
    s.shapes = m_shapes;
    s.measure = m_host.measure();
    m_device->setViewSettings(s);
    viewport()->update();
}

void CDeviceView::documentUpdated(int)
{
    followTool();
    layOut();  // tells the renderer too
}

void CDeviceView::hotKey(int key)
{
    m_host.bringToFront(this);
    if (key == Qt::Key_F2)
        snapshotRequest();
    else
        record();
}

void CDeviceView::activated()
{
    LiveHotKeys::instance().setCurrent(this);
    if (!m_host.rememberActivation(windowTitle()))
        return;
    QStringList sizes;
    for (const auto& item : resolutionMenu())
        sizes.append(item.first);
    m_host.showResolutions(sizes);
    m_host.setPaneText(2, QStringLiteral("%1:%2").arg(m_frameSize.width()).arg(m_frameSize.height()));
}

bool CDeviceView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        activated();
    return ZoomedImageView::viewportEvent(event);
}

void CDeviceView::keyPressEvent(QKeyEvent* event)
{
    const QPoint cursor = QCursor::pos();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (m_doc->toolCode() == measure::ToolText)
            break;  // Enter belongs to the text being typed
        const QPoint local = viewport()->mapFromGlobal(cursor);
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(local), QPointF(cursor), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        mousePressEvent(&click);
        return;
    }
    case Qt::Key_Left: QCursor::setPos(cursor + QPoint(-1, 0)); return;
    case Qt::Key_Right: QCursor::setPos(cursor + QPoint(1, 0)); return;
    case Qt::Key_Up: QCursor::setPos(cursor + QPoint(0, -1)); return;
    case Qt::Key_Down: QCursor::setPos(cursor + QPoint(0, 1)); return;
    default: ZoomedImageView::keyPressEvent(event);
    }
}

void CDeviceView::customEvent(QEvent* event)
{
    auto* message = static_cast<platform::PostedMessage*>(event);
    switch (message->number()) {
    case platform::msg::StillDue:
        if (const auto* answer = message->payload<StillAnswer>())
            savePicture(*answer);
        else
            snapshotRequest();  // the microscope's still button
        break;
    case platform::msg::CaptureGraphEvent: m_device->DrainEvents(); break;
    case platform::msg::TimedSnapshot: snapshotRequest(); break;
    case platform::msg::WifiStreamControl:
        // Starting again: the network camera's stream is opened anew.
        if (m_connected && !isRecording()) {
            m_device->Stop();
            m_device->Run();
        }
        break;
    case platform::msg::RelayoutLiveView:
        m_device->CreateSurface();
        layOut();  // tells the renderer too
        break;
    case platform::msg::CameraCommandRefused:
        // Once for a run of refusals: a dragged slider sends many.
        if (!m_tellingRefusal) {
            m_tellingRefusal = true;
            platform::messageDialogs().inform(QStringLiteral("set format error"));
            m_tellingRefusal = false;
        }
        break;
    default: ZoomedImageView::customEvent(event);
    }
}

void CDeviceView::sourceGone()
{
    finishRecordingNow();
    m_device->Close();
    m_connected = false;
    m_caption = base::uiText("NoDevice", "No Device");
    viewport()->update();
}

bool CDeviceView::sourceBack(std::unique_ptr<CaptureSource> source)
{
    m_device->Close();
    m_connected = connectSource(std::move(source));
    m_caption = m_connected ? QString() : base::uiText("NoDevice", "No Device");
    if (m_connected) {
        m_frameSize = QSize(m_device->width(), m_device->height());
        layOut();  // tells the renderer too
    }
    viewport()->update();
    return m_connected;
}

}  // namespace capture
