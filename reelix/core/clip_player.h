#pragma once

#include <QImage>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_event_t;
struct libvlc_media_t;

namespace reelix {

// One clip played by libvlc. libvlc decodes on threads of its own and hands
// every picture to this object as a 32-bit RGB image; what its threads report
// (pictures, time changes, the end, errors) is passed on to the thread this
// object lives on, so every signal below arrives there. The libvlc threads
// never wait for that thread, so stopping from it cannot deadlock.
class ClipPlayer : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Opening, Playing, Paused, Stopped, Ended, Error };

    // `options` go to libvlc after our own (tests pass "--aout=dummy").
    explicit ClipPlayer(const QStringList& options = {}, QObject* parent = nullptr);
    ~ClipPlayer() override;

    // False when libvlc could not start (no plug-ins found).
    bool isAvailable() const { return m_player != nullptr; }

    // Makes `path` the clip and plays it; it stays the clip until the next open.
    bool open(const QString& path);
    QString clipPath() const { return m_path; }

    // Plays the clip from where it is, or from the start after Stop or its end.
    void play();
    // Pauses while playing, goes on while paused.
    void pause();
    void stop();
    void setTime(qint64 ms);

    qint64 time() const;
    qint64 length() const;
    State state() const;

    // The newest picture of the clip (null before its first).
    QImage frame() const;

Q_SIGNALS:
    void timeChanged(qint64 timeMs, qint64 lengthMs);
    void frameReady();
    void endReached();
    void failed();

private Q_SLOTS:
    // On the GUI thread: the picture the video output thread left is there.
    void takeFrameNotice();

private:
    static void onEvent(const libvlc_event_t* event, void* self);
    static unsigned onFormat(void** self, char* chroma, unsigned* width, unsigned* height, unsigned* pitches, unsigned* lines);
    static void onCleanup(void* self);
    static void* onLock(void* self, void** planes);
    static void onDisplay(void* self, void* picture);

    // Runs `report` on this object's thread unless a stop or another clip
    // came first (libvlc thread).
    template <typename Report>
    void forward(Report report);
    void stopPlayback();
    // The clip's picture size as its file states it; empty when unknown.
    QSize storedPictureSize() const;

    libvlc_instance_t* m_vlc = nullptr;
    libvlc_media_player_t* m_player = nullptr;
    QString m_path;
    mutable std::mutex m_mediaMutex;
    libvlc_media_t* m_media = nullptr;  // guarded by m_mediaMutex; read by the video output thread

    // Counts stops and opens: a report from before the last one is stale.
    std::atomic<int> m_run{0};

    // Owned by libvlc's video output thread.
    std::vector<uint8_t> m_pixels;
    unsigned m_width = 0, m_height = 0;

    mutable std::mutex m_frameMutex;
    QImage m_frame;                           // guarded by m_frameMutex
    std::atomic<bool> m_framePending{false};  // a frameReady is on its way
};

}  // namespace reelix
