#pragma once

#include <QWidget>

class QSplitter;

namespace base {
struct AppPaths;
}

namespace files {

class CThumbnailsFormViewView;
class CThumbnailsFormViewEnlarged;

// The thumbnail browser for the lower part of the folder pane: the thumbnail
// list above (80 % of the height) and the magnifier below (20 %), split by a
// bar the user may move. Messages 1137 and 1133 go to thumbnailList(), 1138
// to magnifier(); posted to this widget they are passed on.
class CThumbnailsFormView : public QWidget {
    Q_OBJECT
public:
    // `paths` gives the current folder at each load and `sharedBuffer` holds
    // the magnifier's square (may be null); both outlive the browser.
    CThumbnailsFormView(const base::AppPaths& paths, const QByteArray* sharedBuffer, QWidget* parent = nullptr);

    CThumbnailsFormViewView* thumbnailList() const { return m_list; }
    CThumbnailsFormViewEnlarged* magnifier() const { return m_magnifier; }
    // The magnifier's level (1, 2, 3), as the picture and live windows ask for it.
    int magnifierLevel() const;

Q_SIGNALS:
    void openPictureRequested(const QString& path);
    void openClipRequested(const QString& clip);

protected:
    void customEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QSplitter* m_splitter;
    CThumbnailsFormViewView* m_list;
    CThumbnailsFormViewEnlarged* m_magnifier;
    bool m_split = false;
};

}  // namespace files
