#pragma once

#include "picture/core/picture_zoom.h"

#include "base/command_target.h"

#include <QObject>
#include <QSize>

namespace base {
class ViewHost;
}

namespace capture {

// The picture settings of one live window: zoom, flips, colour mode and the
// chosen tool (an overlay's, a flip's, a colour's or a measuring tool's). It
// answers the zoom, flip and colour commands; the view shows what it holds.
class CDeviceDoc : public QObject, public base::CommandTarget {
    Q_OBJECT
public:
    // Update hint: the zoom changed, the picture must be laid out again.
    static constexpr int kHintZoom = 1131;

    CDeviceDoc(const QString& title, base::ViewHost& host, QObject* parent = nullptr);

    QString title() const { return m_title; }
    const picture::PictureZoom& zoom() const { return m_zoom; }
    int colourMode() const { return m_colourMode; }
    int toolCode() const { return m_toolCode; }
    bool mirror() const { return m_mirror; }
    bool flip() const { return m_flip; }

    // The current tool; a change is kept as "featureSelected", which the
    // next live window starts with.
    void setToolCode(int code);
    // Whether a click in the picture moves the crosshair: its tool is chosen.
    bool crosshairFollowsClicks() const;
    // The overlay now shown (a measure::OverlayMode) becomes the chosen tool.
    void overlayChosen(int mode);
    // The overlay whose tool is chosen, OverlayNone while another tool is.
    int overlayOfTool() const;
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
    void toggleFlip(bool horizontal);
    void toggleColour(int toolCode, int mode);

    QString m_title;
    base::ViewHost& m_host;
    picture::PictureZoom m_zoom;
    QSize m_resolution{640, 480};
    int m_colourMode = 0;
    int m_toolCode = 0;
    bool m_mirror = false;
    bool m_flip = false;
};

}  // namespace capture
