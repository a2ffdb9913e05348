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

    const QFontMetrics& metrics = option.fontMetrics;
    const QRect textBox(r.x() + 1, tile.y() + kThumbnailSide + kMargin, r.width() - 2, metrics.height());
    // A time-stamped name is one long number: broken over two lines it reads
    // as two numbers, so it keeps one line and gives up its middle (the
    // tooltip shows it whole).
    const QString name = metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle, textBox.width());
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        const int width = metrics.horizontalAdvance(name);
        painter->fillRect(QRect(textBox.center().x() - width / 2 - 2, textBox.y(), width + 4, textBox.height()),
                          option.palette.brush(QPalette::Highlight));
    }
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(textBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, name);
    painter->restore();
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return itemSize(option.fontMetrics);
}

}  // namespace files
