#pragma once

#include <QStyledItemDelegate>

namespace files {

// One thumbnail in the list: the 60 x 60 tile with the file name below it on
// one line, highlighted while the item is selected.
class ThumbnailDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The room every item takes (all items are alike).
    static QSize itemSize(const QFontMetrics& metrics);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace files
