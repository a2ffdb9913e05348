#include "ThumbnailDelegate.h"

#include "ThumbnailModel.h"

#include "files/core/thumbnail_geometry.h"

#include <QPainter>

namespace files {

namespace {

constexpr int kMargin = 4;
constexpr int kItemWidth = kThumbnailSide + 28;

}  // namespace

QSize ThumbnailDelegate::itemSize(const QFontMetrics& metrics)
{
    return QSize(kItemWidth, kMargin + kThumbnailSide + kMargin + 2 * metrics.height() + kMargin);
}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect r = option.rect;
    const QPoint tile(r.x() + (r.width() - kThumbnailSide) / 2, r.y() + kMargin);
    painter->save();
    paintThumbnailTile(*painter, tile, index.data(ThumbnailModel::FittedRole).value<QImage>(),
                       index.data(ThumbnailModel::ChosenRole).toBool());

    // The name takes up to two lines, broken anywhere (a time-stamped name
    // has no spaces), shortened in the middle beyond that.
    const QFontMetrics& metrics = option.fontMetrics;
    const QRect textBox(r.x() + 1, tile.y() + kThumbnailSide + kMargin, r.width() - 2, 2 * metrics.height());
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere;
    QString name = index.data(Qt::DisplayRole).toString();
    if (metrics.boundingRect(textBox.adjusted(0, 0, 0, 1000), flags, name).height() > textBox.height())
        name = metrics.elidedText(name, Qt::ElideMiddle, 2 * textBox.width() - 3 * metrics.averageCharWidth());
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(metrics.boundingRect(textBox, flags, name).adjusted(-2, 0, 2, 0),
                          option.palette.brush(QPalette::Highlight));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(textBox, flags, name);
    painter->restore();
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return itemSize(option.fontMetrics);
}

}  // namespace files
