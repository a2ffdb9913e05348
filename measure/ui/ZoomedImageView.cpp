#include "ZoomedImageView.h"

#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

namespace measure {

ZoomedImageView::ZoomedImageView(QWidget* parent) : QAbstractScrollArea(parent) {}

QPoint ZoomedImageView::scrollOffset() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QSize ZoomedImageView::zoomedSize() const
{
    return {static_cast<int>(m_image.width() * m_zoomX + 0.5), static_cast<int>(m_image.height() * m_zoomY + 0.5)};
}

QRect ZoomedImageView::imageArea() const
{
    return QRect(-scrollOffset(), zoomedSize()).intersected(viewport()->rect());
}

void ZoomedImageView::setImage(QSize size, double zoomX, double zoomY, ScrollOnZoom scroll)
{
    const bool changed = size != m_image || zoomX != m_zoomX || zoomY != m_zoomY;
    m_image = size;
    m_zoomX = zoomX;
    m_zoomY = zoomY;
    layOutBars(changed, scroll);
    if (changed)
        imageZoomChanged();
    imageScrolled();
    viewport()->update();
}

void ZoomedImageView::layOutBars(bool zoomChanged, ScrollOnZoom scroll)
{
    const QSize picture = zoomedSize();
    const QSize page = viewport()->size();
    QScrollBar* bars[2] = {horizontalScrollBar(), verticalScrollBar()};
    const int extent[2] = {picture.width(), picture.height()};
    const int pageSize[2] = {page.width(), page.height()};
    // Setting the range or value scrolls; the hooks hear of it once, from the
    // caller. The bars' signals stay on: the scroll area shows or hides a bar
    // when it hears that the bar's range changed.
    const QScopedValueRollback layingOut(m_layingOut, true);
    for (int i = 0; i < 2; ++i) {
        const int oldMax = bars[i]->maximum();
        const int oldValue = bars[i]->value();
        const int newMax = std::max(0, extent[i] - pageSize[i]);
        bars[i]->setPageStep(pageSize[i]);
        bars[i]->setRange(0, newMax);
        if (zoomChanged && scroll == ScrollOnZoom::ToOrigin)
            bars[i]->setValue(0);
        else if (zoomChanged)
            bars[i]->setValue(oldMax > 0 ? static_cast<int>(double(oldValue) * newMax / oldMax) : 0);
    }
}

void ZoomedImageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layOutBars(false, ScrollOnZoom::KeepProportion);
    imageScrolled();
    viewport()->update();
}

void ZoomedImageView::scrollContentsBy(int, int)
{
    if (m_layingOut)
        return;
    imageScrolled();
    viewport()->update();
}

}  // namespace measure
