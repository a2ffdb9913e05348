#pragma once

#include "ThumbnailModel.h"

#include "files/core/thumbnail_loader.h"
#include "files/core/thumbnail_watch.h"

#include "measure/core/picture_options.h"

#include <QListView>

#include <functional>
#include <memory>

namespace base {
struct AppPaths;
}

namespace platform {
class PostedMessage;
}

namespace files {

class ThumbnailCache;

// What the browser shows: the current picture folder or the current video folder.
enum class BrowserMode { Pictures = 0, Videos = 1 };

// The thumbnails of the current picture or video folder, in an icon view.
// Receives message 1137 (0 pictures, 1 videos, 2 reload) and 1133 (a
// picture, or with lParam 1 a clip's picture, was saved; the path may come
// with it). The commands act on the pending file: the thumbnail last
// right-clicked, double-clicked or chosen with Ctrl.
class CThumbnailsFormViewView : public QListView {
    Q_OBJECT
public:
    // The context menu's commands.
    enum Command { OpenCommand = 1272, SaveCommand = 1197, DeleteCommand = 1199, PrintCommand = 1191 };

    // `paths` gives the current folder at each load; it must outlive the view.
    explicit CThumbnailsFormViewView(const base::AppPaths& paths, QWidget* parent = nullptr);
    ~CThumbnailsFormViewView() override;

    BrowserMode mode() const { return m_mode; }
    // Set while a load lists the folder; requests arriving meanwhile wait for it.
    bool isBusy() const { return m_busy; }
    QString shownFolder() const { return m_folder; }
    QString pendingFile() const { return m_pending; }
    int selectedIndex() const { return m_selected; }
    ThumbnailModel& thumbnails() { return m_model; }
    ThumbnailLoader& loader() { return *m_loader; }

    bool handleMessage(platform::PostedMessage& message);

    bool commandEnabled(Command command) const;
    void runCommand(Command command);
    void openPending();
    void savePending();
    void deletePending();
    void printPending();
    // Plays a clip with the desktop's player, telling the user when there is none.
    static void openClipWithDesktop(const QString& clip);

    // The questions Save asks, replaceable (tests answer them): where to
    // save, as one of `types` with `chosen` chosen first (empty: cancelled),
    // and the picture options, offered as chosen last (false: cancelled).
    struct SaveQuestions {
        std::function<QString(QWidget* parent, const QStringList& types, const QString& chosen, const QString& suggested)> target;
        std::function<bool(QWidget* parent, QSize pictureSize, measure::PictureOptions& options)> options;
    };
    void setSaveQuestions(SaveQuestions questions) { m_questions = std::move(questions); }

Q_SIGNALS:
    // A picture to open in a picture window (its real path).
    void openPictureRequested(const QString& path);
    // A clip to play. Without a receiver the desktop's player opens it.
    void openClipRequested(const QString& clip);
    // The folder's names are in the list (a load has listed it).
    void listed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void customEvent(QEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles = QList<int>()) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void request(int wParam);
    void startLoad();
    void onListed(int load, const QList<ShownFile>& files);
    void onThumbnail(int load, const QString& path, const QImage& fitted);
    void onCurrentChanged(const QModelIndex& current);
    void fileSaved(const QString& path, bool clip);
    void addFiles(const QList<ShownFile>& files);
    void prioritiseVisible();
    QString pathAt(QPoint pos) const;

    const base::AppPaths& m_paths;
    ThumbnailModel m_model;
    std::unique_ptr<ThumbnailCache> m_cache;
    std::unique_ptr<ThumbnailLoader> m_loader;  // its workers use the cache: gone first
    FolderWatch m_watch;
    BrowserMode m_mode = BrowserMode::Pictures;
    bool m_busy = true;  // until the first load has listed the folder
    int m_waiting = -1;  // the request that came while busy
    QString m_folder;
    QString m_pending;
    int m_selected = -1;
    Qt::KeyboardModifiers m_modifiers;
    SaveQuestions m_questions;
    // A copy is never imprinted: the tick starts clear.
    measure::PictureOptions m_saveOptions{1, false, 96};
};

}  // namespace files
