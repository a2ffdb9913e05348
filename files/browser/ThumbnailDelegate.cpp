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
    return QSize(kItemWidth, kMargin + kThumbnailSide + kMargin + metrics.height() + kMargin);
}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect r = option.rect;
    const QPoint tile(r.x() + (r.width() - kThumbnailSide) / 2, r.y() + kMargin);
    painter->save();
    paintThumbnailTile(*painter, tile, index.data(ThumbnailModel::FittedRole).value<QImage>(),
                       index.data(ThumbnailModel::ChosenRole).toBool());

    const QRect textBox(r.x() + 1, tile.y() + kThumbnailSide + kMargin, r.width() - 2, option.fontMetrics.height());
    const QString name = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                       textBox.width() - 2);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        const int w = option.fontMetrics.horizontalAdvance(name) + 4;
        painter->fillRect(QRect(textBox.center().x() - w / 2, textBox.y(), w, textBox.height()),
                          option.palette.brush(QPalette::Highlight));
    }
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(textBox, Qt::AlignHCenter | Qt::AlignTop, name);
    painter->restore();
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return itemSize(option.fontMetrics);
}

}  // namespace files
