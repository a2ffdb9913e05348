#include "LiveWindows.h"

#include "CDeviceView.h"

#include "capture/device/capture_backend.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"

#include <QTimer>

namespace capture {

StreamDescription usbSlotStream(int slot)
{
    return {QStringLiteral("usb%1").arg(slot), QStringLiteral("MICROSCOPE %1").arg(slot), slot};
}

LiveWindows::LiveWindows(CaptureBackend* cameras, base::ViewHost& host, QObject* parent)
    : QObject(parent), m_cameras(cameras), m_host(host)
{
}

LiveWindows::~LiveWindows() = default;

bool LiveWindows::enumerate(bool tellWhenNone)
{
    const std::vector<FoundDevice> found = m_cameras ? m_cameras->enumerate() : std::vector<FoundDevice>{};
    DeviceList listed;
    const bool any = enumerateDevices(found, m_scratch, listed);
    bindSlots(m_scratch, m_slots);
    m_connected = 0;
    for (const auto& entry : m_scratch)
        m_connected += entry.modelIndex >= 0;
    if (!any) {
        if (tellWhenNone)
            platform::messageDialogs().inform(base::uiText("NOConnection", "No Connect Microscope", base::kMessageCapacity));
        return false;
    }
    unsigned present = 0;
    for (size_t slot = 0; slot < m_slots.size(); ++slot)
        present |= m_slots[slot].present ? 1u << slot : 0u;
    Q_EMIT slotsFound(std::min(m_connected, 5), present);
    return true;
}

std::unique_ptr<CaptureSource> LiveWindows::openSlot(int slot, QString& devicePath)
{
    const VideoDeviceEntry& entry = m_slots[static_cast<size_t>(slot - 1)];
    devicePath.clear();
    if (!m_cameras || entry.modelIndex < 0 || entry.devicePath.isEmpty())
        return nullptr;
    std::unique_ptr<CaptureSource> source = m_cameras->open(entry.devicePath);
    if (source)
        devicePath = entry.devicePath;
    return source;
}

CDeviceView* LiveWindows::create(int slot)
{
    if (slot < 1 || slot > static_cast<int>(m_slots.size()))
        return nullptr;
    forgetClosed();
    Window window;
    window.slot = slot;
    std::unique_ptr<CaptureSource> source = openSlot(slot, window.devicePath);
    auto* view = new CDeviceView(usbSlotStream(slot), std::move(source), m_host);
    view->setCameraChoices([this, view] { return cameraChoices(view); },
                           [this, view](const QString& path) { return switchCamera(view, path); });
    if (!view->isConnected())
        window.devicePath.clear();
    window.view = view;
    m_windows.push_back(window);
    return view;
}

void LiveWindows::forgetClosed()
{
    std::erase_if(m_windows, [](const Window& w) { return w.view.isNull(); });
}

QList<CDeviceView*> LiveWindows::views() const
{
    QList<CDeviceView*> out;
    for (const Window& w : m_windows) {
        if (w.view)
            out.append(w.view.data());
    }
    return out;
}

QString LiveWindows::devicePathOf(const CDeviceView* view) const
{
    for (const Window& w : m_windows) {
        if (w.view == view)
            return w.devicePath;
    }
    return {};
}

std::vector<CameraChoice> LiveWindows::cameraChoices(const CDeviceView* view) const
{
    const QString current = devicePathOf(view);
    std::vector<CameraChoice> out;
    for (const VideoDeviceEntry& entry : m_slots) {
        if (entry.present && entry.modelIndex >= 0)
            out.push_back({entry.friendlyName, entry.devicePath, entry.devicePath == current});
    }
    return out;
}

bool LiveWindows::switchCamera(CDeviceView* view, const QString& devicePath)
{
    forgetClosed();
    const auto window = std::find_if(m_windows.begin(), m_windows.end(), [&](const Window& w) { return w.view == view; });
    const auto target = std::find_if(m_slots.begin(), m_slots.end(),
                                     [&](const VideoDeviceEntry& e) { return e.devicePath == devicePath; });
    if (window == m_windows.end() || target == m_slots.end() || !target->present)
        return false;
    if (window->devicePath == devicePath)
        return true;
    const int otherSlot = static_cast<int>(target - m_slots.begin()) + 1;
    for (const Window& w : m_windows) {
        if (w.slot == otherSlot && w.view && w.view->isConnected()) {
            platform::messageDialogs().inform(base::uiText("CameraShownElsewhere", "This microscope is shown in %1.")
                                                  .arg(w.view->stream().description().title));
            return false;
        }
    }
    // The two slots trade microscopes, so each keeps one of its own.
    std::swap(m_slots[static_cast<size_t>(window->slot - 1)], *target);
    view->finishRecordingNow();
    view->stream().Close();
    std::unique_ptr<CaptureSource> source = openSlot(window->slot, window->devicePath);
    if (!view->sourceBack(std::move(source)))
        window->devicePath.clear();
    return view->isConnected();
}

void LiveWindows::watch()
{
    if (m_watcher || !m_cameras)
        return;
    m_settle = new QTimer(this);
    m_settle->setObjectName(QStringLiteral("1173"));
    m_settle->setSingleShot(true);
    m_settle->setInterval(1000);
    connect(m_settle, &QTimer::timeout, this, &LiveWindows::checkDevices);
    m_watcher = m_cameras->watch();
    connect(m_watcher.get(), &DeviceWatcher::changed, this, &LiveWindows::deviceEvent);
}

void LiveWindows::deviceEvent()
{
    for (CDeviceView* view : views())
        view->stream().latestFrame().frameArrived.store(0);
    if (m_settle)
        m_settle->start();  // restarts: one check a second after the last event
}

void LiveWindows::checkDevices()
{
    if (m_settle)
        m_settle->stop();
    enumerate(false);
    forgetClosed();
    for (Window& w : m_windows) {
        const VideoDeviceEntry& own = m_slots[static_cast<size_t>(w.slot - 1)];
        CDeviceView* view = w.view.data();
        if (!own.present) {
            if (view->isConnected() || view->isRecording())
                view->sourceGone();
            w.devicePath.clear();
        } else if (!view->isConnected() || own.devicePath != w.devicePath) {
            view->finishRecordingNow();
            std::unique_ptr<CaptureSource> source = openSlot(w.slot, w.devicePath);
            if (!view->sourceBack(std::move(source)))
                w.devicePath.clear();
        }
    }
}

void LiveWindows::sessionUnlocked()
{
    forgetClosed();
    const std::vector<Window> windows = m_windows;
    for (const Window& w : windows) {
        CDeviceView* view = w.view.data();
        const QWidget* frame = view && view->parentWidget() ? view->parentWidget() : view;
        if (!view || frame->isHidden() || !view->stream().latestFrame().frameArrived.exchange(0))
            continue;
        // The camera is let go now, before the new window opens it.
        view->finishRecordingNow();
        view->stream().Close();
        Q_EMIT reopenRequested(view, w.slot);
    }
}

}  // namespace capture
