#pragma once

#include "files/core/shown_files.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QStringList>

namespace files {

// The files the browser shows, in order, each with its thumbnail once made,
// and the files chosen with Ctrl (the multi-selection, in the order chosen).
// Rows are found by real path, so thumbnails arriving after a row was
// removed still land on the right one.
class ThumbnailModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { FittedRole = Qt::UserRole + 1, PathRole, ChosenRole };

    using QAbstractListModel::QAbstractListModel;

    void reset(const QList<ShownFile>& files);
    // Appends a file; false when it is listed already.
    bool append(const ShownFile& file);
    void remove(const QString& path);
    void setThumbnail(const QString& path, const QImage& fitted);

    int rowOf(const QString& path) const { return m_rows.value(path, -1); }
    const ShownFile& file(int row) const { return m_files.at(row); }
    const QList<ShownFile>& files() const { return m_files; }
    bool hasThumbnail(int row) const { return !m_fitted.at(row).isNull(); }

    // The multi-selection.
    const QStringList& chosen() const { return m_chosen; }
    bool isChosen(const QString& path) const { return m_chosen.contains(path); }
    void choose(const QString& path);
    void clearChosen();

    // Memory held by the thumbnails.
    qint64 thumbnailBytes() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void renumber();

    QList<ShownFile> m_files;
    QList<QImage> m_fitted;
    QHash<QString, int> m_rows;
    QStringList m_chosen;
};

}  // namespace files
