#pragma once

#include "frame_mailbox.h"
#include "frame_ops.h"
#include "measure/core/overlay_painter.h"

#include "measure/core/measure_state.h"
#include "measure/core/video_shape.h"

#include <QImage>
#include <QPen>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace capture {

// How the live view wants its picture: set on the GUI thread, read by the
// capture thread for every frame.
struct LiveViewSettings {
    double zoomX = 1;
    double zoomY = 1;
    int scrollX = 0;
    int scrollY = 0;
    bool mirror = false;
    bool flip = false;
    bool networkFrame = false;
    int colourMode = Natural;
    measure::OverlayParams overlay;
    QString statusText;  // at most 127 characters
    // The slot's finished live measurements and the settings they are drawn
    // with: a snapshot the view replaces whenever they change.
    std::shared_ptr<const measure::VideoShapeList> shapes;
    measure::MeasureState measure;
};

// One slot's live picture: turns a frame as the camera delivered it (YUYV or
// MJPEG bytes) into the display image the view paints: zoomed and scrolled,
// mirrored, flipped and coloured, with the overlay, the live measurements and
// the status text. A picture shown at half size or less decodes MJPEG at that
// scale. Owns the three display images that take turns with the GUI.
// Called by one thread at a time (the capture thread, or a test).
class LiveRenderer {
public:
    LiveRenderer();
    ~LiveRenderer();

    // Composes one frame into the mailbox's back image and answers it, or
    // nullptr when the frame could not be decoded (nothing is composed).
    // The caller publishes it.
    const QImage* render(const uint8_t* bytes, size_t size, int32_t format, int width, int height, const LiveViewSettings& s);

    FrameMailbox<QImage>& mailbox() { return m_mailbox; }

    // The 24-bit bottom-up rows of the frame last rendered, when the renderer
    // decoded it at full size (else nullptr): a clip frame due now reuses them.
    const uint8_t* fullRows() const { return m_fullRows ? m_rows.data() : nullptr; }

    // The painters kept on the display images go (before the images change
    // hands for good, e.g. when the device closes).
    void releasePainters();

    // 1, 2, 4 or 8: how much smaller an MJPEG frame is decoded for a picture
    // shown at this zoom; never below the size on screen.
    static int decodeScale(double zoomX, double zoomY);

private:
    bool compose(const uint8_t* bytes, size_t size, int32_t format, int width, int height, const LiveViewSettings& s,
                 QImage& out);
    void paintDecorations(QImage& out, int width, int height, const LiveViewSettings& s);

    FrameMailbox<QImage> m_mailbox;
    std::vector<uint8_t> m_rows;  // decoded 24-bit rows, when the picture is zoomed or scrolled
    bool m_fullRows = false;
    std::vector<int> m_columns;  // display-to-frame pixel map
    // One painter kept open on each display image, and the texts drawn once:
    // decorating a frame allocates nothing.
    std::array<std::unique_ptr<QPainter>, 3> m_painters;
    QImage m_statusImage;
    QString m_statusImageText;
    QImage m_labelImage;
    QString m_labelImageText;
    QPen m_colouredPen{Qt::NoPen};
    QPen m_whitePen{Qt::NoPen};
};

}  // namespace capture
