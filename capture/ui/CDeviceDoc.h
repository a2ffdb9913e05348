#pragma once

#include "measure/core/overlay_painter.h"
#include "picture/core/picture_zoom.h"

#include "base/command_target.h"

#include <QObject>
#include <QSize>

namespace base {
class ViewHost;
}

namespace capture {

// The picture settings of one USB slot's live window: zoom, flips, colour
// mode, overlay and the chosen tool. It answers the zoom, overlay, flip and
// colour commands; the view shows what it holds.
class CDeviceDoc : public QObject, public base::CommandTarget {
    Q_OBJECT
public:
    // Update hint: the zoom changed, the picture must be laid out again.
    static constexpr int kHintZoom = 1131;

    CDeviceDoc(int slot, base::ViewHost& host, QObject* parent = nullptr);

    int slot() const { return m_slot; }
    QString title() const { return QStringLiteral("MICROSCOPE %1").arg(m_slot); }
    const picture::PictureZoom& zoom() const { return m_zoom; }
    int colourMode() const { return m_colourMode; }
    int toolCode() const { return m_toolCode; }
    bool mirror() const { return m_mirror; }
    bool flip() const { return m_flip; }
    const measure::OverlayParams& overlay() const { return m_overlay; }

    // The current tool; a change is kept as "featureSelected", which the
    // next live window starts with.
    void setToolCode(int code);
    // A click in the picture while a crosshair shows moves it there.
    bool moveCrosshair(int frameX, int frameY);
    // The size Full Screen fits: the current resolution of the live windows.
    void setResolution(QSize size) { m_resolution = size; }

    bool handlesCommand(int id) const override;
    void updateCommand(int id, base::CommandState& state) const override;
    void runCommand(int id) override;

Q_SIGNALS:
    // Something the picture shows changed; kHintZoom when the zoom did.
    void updated(int hint);

private:
    // The tool and "featureSelected" without writing them yet; true on a change.
    bool storeToolCode(int code);
    void finishZoom(bool save);
    void toggleCrosshair();
    void toggleGrid(int toolCode, int mode);
    void toggleFlip(bool horizontal);
    void toggleColour(int toolCode, int mode);

    int m_slot;
    base::ViewHost& m_host;
    picture::PictureZoom m_zoom;
    QSize m_resolution{640, 480};
    int m_colourMode = 0;
    int m_toolCode = 0;
    bool m_mirror = false;
    bool m_flip = false;
    measure::OverlayParams m_overlay;
};

}  // namespace capture
