#include "CThumbnailsFormViewView.h"

#include "ThumbnailDelegate.h"

#include "files/core/thumbnail_cache.h"

#include "base/app_paths.h"
#include "platform/posted_message.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollBar>

namespace files {

namespace {

// Thumbnails made ahead of those in view: about one more screen.
constexpr int kLookAheadScreens = 1;

}  // namespace

CThumbnailsFormViewView::CThumbnailsFormViewView(const base::AppPaths& paths, QWidget* parent)
    : QListView(parent),
      m_paths(paths),
      m_cache(std::make_unique<ThumbnailCache>()),
      m_loader(std::make_unique<ThumbnailLoader>(std::make_shared<const ThumbnailMaker>(m_cache.get())))
{
    setObjectName(QStringLiteral("CThumbnailsFormViewView"));
    setModel(&m_model);
    setItemDelegate(new ThumbnailDelegate(this));
    // Icons in rows, laid out by the list mode's grid: with items of one
    // size it places ten thousand without keeping a position for each.
    setViewMode(QListView::ListMode);
    setMovement(QListView::Static);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(500);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setGridSize(ThumbnailDelegate::itemSize(fontMetrics()));
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    connect(m_loader.get(), &ThumbnailLoader::listed, this, &CThumbnailsFormViewView::onListed);
    connect(m_loader.get(), &ThumbnailLoader::thumbnailReady, this,
            [this](int load, const QString& path, const QImage& fitted) { onThumbnail(load, path, fitted); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(&m_watch, &FolderWatch::appeared, this, [this](const ShownFile& f) { addFiles({f}); });
    // A picture written anew (its window's Save) gets its thumbnail made again.
    connect(&m_watch, &FolderWatch::changed, this, [this](const ShownFile& f) {
        if (m_model.rowOf(f.path) >= 0)
            m_loader->add({f.path});
    });
    connect(&m_watch, &FolderWatch::vanished, this, [this](const QString& path) {
        if (path == m_pending)
            m_pending.clear();
        m_model.remove(path);
    });
    startLoad();
}

CThumbnailsFormViewView::~CThumbnailsFormViewView()
{
    m_loader->cancel();
}

bool CThumbnailsFormViewView::handleMessage(platform::PostedMessage& message)
{
    switch (message.number()) {
    case platform::msg::ReloadListing: request(int(message.wParam())); return true;
    case platform::msg::FileSaved: {
        const QString* path = message.payload<QString>();
        fileSaved(path ? *path : QString(), message.lParam() == 1);
        return true;
    }
    default: return false;
    }
}

void CThumbnailsFormViewView::customEvent(QEvent* event)
{
    if (auto* message = dynamic_cast<platform::PostedMessage*>(event); message && handleMessage(*message))
        return;
    QListView::customEvent(event);
}

// 0 shows pictures, 1 clips, 2 loads the current folder again. A request
// while a load lists its folder waits for it (the last one waiting wins),
// so a folder chosen meanwhile is not lost.
void CThumbnailsFormViewView::request(int wParam)
{
    if (wParam < 0 || wParam > 2)
        return;
    if (m_busy) {
        m_waiting = wParam;
        return;
    }
    if (wParam != 2) {
        const auto mode = BrowserMode(wParam);
        if (mode == m_mode)
            return;
        m_mode = mode;
    }
    startLoad();
}

void CThumbnailsFormViewView::startLoad()
{
    m_busy = true;
    m_folder = m_mode == BrowserMode::Videos ? m_paths.currentVideoFolder() : m_paths.currentPictureFolder();
    m_watch.watch(QString(), {});
    m_loader->load(m_folder);
}

void CThumbnailsFormViewView::onListed(int load, const QList<ShownFile>& files)
{
    if (load != m_loader->currentLoad())
        return;
    m_pending.clear();
    m_selected = -1;
    m_model.reset(files);
    m_watch.watch(m_folder, files);
    m_busy = false;
    prioritiseVisible();
    Q_EMIT listed();
    if (m_waiting >= 0)
        request(std::exchange(m_waiting, -1));
}

void CThumbnailsFormViewView::onThumbnail(int load, const QString& path, const QImage& fitted)
{
    if (load == m_loader->currentLoad())
        m_model.setThumbnail(path, fitted);
}

// A file saved into the shown folder joins the list at once; other files
// (a clip's picture while pictures are shown) are not the browser's. Without
// a path, the folder is looked at for what is new.
void CThumbnailsFormViewView::fileSaved(const QString& path, bool clip)
{
    if (clip && m_mode != BrowserMode::Videos)
        return;
    if (path.isEmpty()) {
        m_watch.refresh();
        return;
    }
    if (QFileInfo(path).absolutePath() != QDir(m_folder).absolutePath())
        return;
    const ShownFile file = shownFileFor(path);
    if (!file.path.isEmpty())
        addFiles({file});
}

void CThumbnailsFormViewView::addFiles(const QList<ShownFile>& files)
{
    QStringList added;
    QList<ShownFile> known;
    for (const ShownFile& f : files) {
        if (m_model.append(f)) {
            added.append(f.path);
            known.append(f);
        }
    }
    m_watch.know(known);
    if (!added.isEmpty())
        m_loader->add(added);
}

// Ctrl held while an item becomes the current one adds it to the
// multi-selection (red frame) and makes it the pending file; any other
// change of the current item ends a multi-selection.
void CThumbnailsFormViewView::onCurrentChanged(const QModelIndex& current)
{
    const int row = current.isValid() ? current.row() : -1;
    if (row == m_selected)
        return;
    m_selected = row;
    if (row < 0)
        return;
    if (m_modifiers & Qt::ControlModifier) {
        const QString path = m_model.file(row).path;
        if (!m_model.isChosen(path)) {
            m_model.choose(path);
            m_pending = path;
        }
    } else if (!m_model.chosen().isEmpty()) {
        m_model.clearChosen();
    }
}

void CThumbnailsFormViewView::mousePressEvent(QMouseEvent* event)
{
    m_modifiers = event->modifiers();
    if (event->button() == Qt::RightButton) {
        // The commands act on the file under the mouse, and on none when
        // the click is beside every thumbnail (unless some are chosen).
        const QString path = pathAt(event->position().toPoint());
        if (!path.isEmpty() || m_model.chosen().isEmpty())
            m_pending = path;
    }
    QListView::mousePressEvent(event);
}

void CThumbnailsFormViewView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_modifiers = event->modifiers();
    QListView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString path = pathAt(event->position().toPoint());
    if (path.isEmpty())
        return;
    m_pending = path;
    openPending();
}

void CThumbnailsFormViewView::keyPressEvent(QKeyEvent* event)
{
    m_modifiers = event->modifiers();
    QListView::keyPressEvent(event);
}

// A new thumbnail or frame changes no item's size (every item is the grid's
// size), so the item view's own handling is enough: a changed item paints its
// tile again. The list mode's would lay out and paint the whole list anew for
// every thumbnail that arrives.
void CThumbnailsFormViewView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void CThumbnailsFormViewView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    prioritiseVisible();
}

void CThumbnailsFormViewView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    prioritiseVisible();
}

QString CThumbnailsFormViewView::pathAt(QPoint pos) const
{
    const QModelIndex at = indexAt(pos);
    return at.isValid() ? m_model.file(at.row()).path : QString();
}

// The thumbnails in view, then about a screen more, are made first.
void CThumbnailsFormViewView::prioritiseVisible()
{
    if (m_model.rowCount() == 0 || !m_loader)
        return;
    const QSize grid = gridSize().isValid() ? gridSize() : QSize(88, 88);
    const int perRow = std::max(1, viewport()->width() / std::max(1, grid.width()));
    const int rowsInView = viewport()->height() / std::max(1, grid.height()) + 2;
    const int firstRow = verticalScrollBar()->value() / std::max(1, grid.height());
    const int first = std::clamp(firstRow * perRow, 0, m_model.rowCount() - 1);
    const int last = std::min(m_model.rowCount() - 1, first + perRow * rowsInView * (1 + kLookAheadScreens));
    QStringList wanted;
    for (int row = first; row <= last; ++row) {
        if (!m_model.hasThumbnail(row))
            wanted.append(m_model.file(row).path);
    }
    m_loader->prioritise(wanted);
}

}  // namespace files
