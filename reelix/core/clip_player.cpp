#include "reelix/core/clip_player.h"

#include <vlc/vlc.h>

#include <cstring>

namespace reelix {

namespace {

// libvlc finds the plug-ins it was installed with. The pictures come to us, so
// it needs no X connection of its own, and the file name is not written over
// the picture. A clip whose index was lost (the recorder was killed) gets one
// rebuilt, so it can be sought.
const char* const kOwnOptions[] = {"--ignore-config", "--no-xlib", "--no-video-title-show", "--no-osd", "--avi-index=3"};

constexpr int kEvents[] = {libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError};

}  // namespace

ClipPlayer::ClipPlayer(const QStringList& options, QObject* parent) : QObject(parent)
{
    std::vector<QByteArray> extra;
    std::vector<const char*> argv(std::begin(kOwnOptions), std::end(kOwnOptions));
    for (const QString& option : options)
        extra.push_back(option.toUtf8());
    for (const QByteArray& option : extra)
        argv.push_back(option.constData());
    m_vlc = libvlc_new(int(argv.size()), argv.data());
    if (!m_vlc)
        return;
    m_player = libvlc_media_player_new(m_vlc);
    if (!m_player)
        return;
    libvlc_video_set_format_callbacks(m_player, &ClipPlayer::onFormat, &ClipPlayer::onCleanup);
    libvlc_video_set_callbacks(m_player, &ClipPlayer::onLock, nullptr, &ClipPlayer::onDisplay, this);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player);
    for (int type : kEvents)
        libvlc_event_attach(events, type, &ClipPlayer::onEvent, this);
}

ClipPlayer::~ClipPlayer()
{
    // Stopping joins libvlc's threads, so no callback reaches a dead object.
    if (m_player) {
        libvlc_media_player_stop(m_player);
        libvlc_media_player_release(m_player);
    }
    if (m_media)
        libvlc_media_release(m_media);
    if (m_vlc)
        libvlc_release(m_vlc);
}

bool ClipPlayer::open(const QString& path)
{
    if (!m_player || path.isEmpty())
        return false;
    libvlc_media_t* media = libvlc_media_new_path(m_vlc, path.toUtf8().constData());
    if (!media)
        return false;
    libvlc_media_player_set_media(m_player, media);  // stops the clip before
    {
        std::lock_guard lock(m_mediaMutex);
        std::swap(m_media, media);
    }
    if (media)
        libvlc_media_release(media);
    {
        // The clip before is stopped: its last picture is not this clip's.
        std::lock_guard lock(m_frameMutex);
        m_frame = QImage();
    }
    ++m_run;
    m_path = path;
    libvlc_media_player_play(m_player);
    return true;
}

void ClipPlayer::play()
{
    if (!m_player)
        return;
    // At its end or after an error libvlc keeps the finished run, which
    // ignores Play: drop it first so the clip starts again.
    const State now = state();
    if (now == State::Ended || now == State::Error)
        stopPlayback();
    libvlc_media_player_play(m_player);
}

void ClipPlayer::pause()
{
    if (m_player)
        libvlc_media_player_pause(m_player);
}

void ClipPlayer::stop()
{
    if (m_player)
        stopPlayback();
}

void ClipPlayer::stopPlayback()
{
    libvlc_media_player_stop(m_player);
    // Every report of the stopped run was sent before the stop returned.
    ++m_run;
}

void ClipPlayer::setTime(qint64 ms)
{
    if (m_player)
        libvlc_media_player_set_time(m_player, ms);
}

qint64 ClipPlayer::time() const
{
    return m_player ? std::max<qint64>(libvlc_media_player_get_time(m_player), 0) : 0;
}

qint64 ClipPlayer::length() const
{
    return m_player ? std::max<qint64>(libvlc_media_player_get_length(m_player), 0) : 0;
}

ClipPlayer::State ClipPlayer::state() const
{
    if (!m_player)
        return State::Idle;
    switch (libvlc_media_player_get_state(m_player)) {
    case libvlc_NothingSpecial: return State::Idle;
    case libvlc_Opening:
    case libvlc_Buffering: return State::Opening;
    case libvlc_Playing: return State::Playing;
    case libvlc_Paused: return State::Paused;
    case libvlc_Stopped: return State::Stopped;
    case libvlc_Ended: return State::Ended;
    case libvlc_Error: return State::Error;
    }
    return State::Idle;
}

QImage ClipPlayer::frame() const
{
    std::lock_guard lock(m_frameMutex);
    return m_frame;
}

template <typename Report>
void ClipPlayer::forward(Report report)
{
    const int run = m_run.load();
    QMetaObject::invokeMethod(
        this,
        [this, run, report] {
            if (run == m_run.load())
                report();
        },
        Qt::QueuedConnection);
}

void ClipPlayer::onEvent(const libvlc_event_t* event, void* opaque)
{
    // libvlc's event thread: nothing here may wait for the GUI thread, nor call
    // into the player (a stop holds the player's lock while it joins us).
    auto* self = static_cast<ClipPlayer*>(opaque);
    switch (event->type) {
    case libvlc_MediaPlayerTimeChanged: {
        const qint64 time = event->u.media_player_time_changed.new_time;
        self->forward([self, time] { Q_EMIT self->timeChanged(time, self->length()); });
        break;
    }
    case libvlc_MediaPlayerEndReached: self->forward([self] { Q_EMIT self->endReached(); }); break;
    case libvlc_MediaPlayerEncounteredError: self->forward([self] { Q_EMIT self->failed(); }); break;
    default: break;
    }
}

QSize ClipPlayer::storedPictureSize() const
{
    libvlc_media_t* media = nullptr;
    {
        std::lock_guard lock(m_mediaMutex);
        if (m_media)
            libvlc_media_retain(media = m_media);
    }
    if (!media)
        return {};
    QSize size;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    for (unsigned i = 0; i < count && size.isEmpty(); ++i) {
        if (tracks[i]->i_type == libvlc_track_video)
            size = QSize(int(tracks[i]->video->i_width), int(tracks[i]->video->i_height));
    }
    libvlc_media_tracks_release(tracks, count);
    libvlc_media_release(media);
    return size;
}

unsigned ClipPlayer::onFormat(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches, unsigned* lines)
{
    // 32-bit RGB in the byte order of QImage::Format_RGB32, at the clip's size.
    auto* self = static_cast<ClipPlayer*>(*opaque);
    std::memcpy(chroma, "RV32", 4);
    // Some decoders offer their buffer, rounded up to whole blocks; the
    // picture is only the part the file states.
    const QSize stored = self->storedPictureSize();
    if (!stored.isEmpty() && unsigned(stored.width()) <= *width && unsigned(stored.height()) <= *height) {
        *width = unsigned(stored.width());
        *height = unsigned(stored.height());
    }
    self->m_width = *width;
    self->m_height = *height;
    pitches[0] = *width * 4;
    lines[0] = *height;
    self->m_pixels.assign(size_t(pitches[0]) * lines[0], 0);
    return 1;
}

void ClipPlayer::onCleanup(void* opaque)
{
    auto* self = static_cast<ClipPlayer*>(opaque);
    self->m_pixels = {};
    self->m_width = self->m_height = 0;
}

void* ClipPlayer::onLock(void* opaque, void** planes)
{
    planes[0] = static_cast<ClipPlayer*>(opaque)->m_pixels.data();
    return nullptr;
}

void ClipPlayer::onDisplay(void* opaque, void*)
{
    // The video output thread: the picture is ours until the next lock.
    auto* self = static_cast<ClipPlayer*>(opaque);
    const QImage picture(self->m_pixels.data(), int(self->m_width), int(self->m_height), int(self->m_width * 4),
                         QImage::Format_RGB32);
    QImage copy = picture.copy();
    {
        std::lock_guard lock(self->m_frameMutex);
        self->m_frame.swap(copy);
    }
    // One notice at a time: a slow GUI skips pictures instead of queueing
    // them. Invoked by name, so the notice is made and read inside Qt.
    if (!self->m_framePending.exchange(true))
        QMetaObject::invokeMethod(self, "takeFrameNotice", Qt::QueuedConnection);
}

void ClipPlayer::takeFrameNotice()
{
    m_framePending = false;
    // A notice of the clip before a new one was opened finds no picture.
    if (!frame().isNull())
        Q_EMIT frameReady();
}

}  // namespace reelix
