#pragma once

#include "measure/core/image_mapping.h"

#include <QAbstractScrollArea>
#include <QSize>

namespace measure {

// A picture shown zoomed and scrolled in a window: a saved picture's window
// and a microscope's live window are both one. It keeps the picture's size
// and zoom, lays the scroll bars out over the zoomed picture and maps between
// window and picture in one place (mapping(): mapToImage and mapToView), so
// the same clicks take the same picture pixels in every window. Subclasses
// draw the picture and hear of changes through the hooks, which do nothing
// here.
class ZoomedImageView : public QAbstractScrollArea, public ShownImage {
    Q_OBJECT
public:
    explicit ZoomedImageView(QWidget* parent = nullptr);

    QSize imageSize() const override { return m_image; }
    double zoomX() const { return m_zoomX; }
    double zoomY() const { return m_zoomY; }
    QPoint scrollOffset() const;
    // The one mapping between window and picture.
    ImageMapping mapping() const override { return {m_zoomX, m_zoomY, QPointF(scrollOffset())}; }
    // The picture at its zoom, rounded to whole pixels.
    QSize zoomedSize() const;
    // The part of the viewport the picture covers.
    QRect imageArea() const override;

protected:
    // Where the bars stand after a change of zoom: back at the picture's
    // origin, or at the same place in proportion.
    enum class ScrollOnZoom { ToOrigin, KeepProportion };

    // Shows a picture of `size` at the zoom: the bars are laid out again,
    // and imageZoomChanged() is called once when the size or zoom changed.
    void setImage(QSize size, double zoomX, double zoomY, ScrollOnZoom scroll = ScrollOnZoom::ToOrigin);

    // Hooks for subclasses.
    virtual void imageZoomChanged() {}
    // The visible part moved (scrolled, or the window was resized).
    virtual void imageScrolled() {}

    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void layOutBars(bool zoomChanged, ScrollOnZoom scroll);

    QSize m_image;  // none yet: the first setImage() is a change
    double m_zoomX = 1;
    double m_zoomY = 1;
    bool m_layingOut = false;  // the bars move while laid out: callers hear of it once
};

}  // namespace measure
