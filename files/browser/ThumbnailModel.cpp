#include "ThumbnailModel.h"

namespace files {

void ThumbnailModel::reset(const QList<ShownFile>& files)
{
    beginResetModel();
    m_files = files;
    m_fitted = QList<QImage>(files.size());
    m_chosen.clear();
    renumber();
    endResetModel();
}

bool ThumbnailModel::append(const ShownFile& file)
{
    if (m_rows.contains(file.path))
        return false;
    const int row = int(m_files.size());
    beginInsertRows(QModelIndex(), row, row);
    m_files.append(file);
    m_fitted.append(QImage());
    m_rows.insert(file.path, row);
    endInsertRows();
    return true;
}

void ThumbnailModel::remove(const QString& path)
{
    const int row = rowOf(path);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_files.removeAt(row);
    m_fitted.removeAt(row);
    m_chosen.removeAll(path);
    renumber();
    endRemoveRows();
}

void ThumbnailModel::setThumbnail(const QString& path, const QImage& fitted)
{
    const int row = rowOf(path);
    if (row < 0)
        return;
    m_fitted[row] = fitted;
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, {FittedRole});
}

void ThumbnailModel::choose(const QString& path)
{
    const int row = rowOf(path);
    if (row < 0 || m_chosen.contains(path))
        return;
    m_chosen.append(path);
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, {ChosenRole});
}

void ThumbnailModel::clearChosen()
{
    const QStringList was = std::exchange(m_chosen, {});
    for (const QString& path : was) {
        const QModelIndex at = index(rowOf(path));
        Q_EMIT dataChanged(at, at, {ChosenRole});
    }
}

qint64 ThumbnailModel::thumbnailBytes() const
{
    qint64 bytes = 0;
    for (const QImage& image : m_fitted)
        bytes += image.sizeInBytes();
    return bytes;
}

int ThumbnailModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_files.size());
}

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_files.size())
        return {};
    const ShownFile& f = m_files.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return f.shown;
    case FittedRole: return m_fitted.at(index.row());
    case PathRole: return f.path;
    case ChosenRole: return m_chosen.contains(f.path);
    default: return {};
    }
}

void ThumbnailModel::renumber()
{
    m_rows.clear();
    m_rows.reserve(m_files.size());
    for (int row = 0; row < m_files.size(); ++row)
        m_rows.insert(m_files.at(row).path, row);
}

}  // namespace files
