#pragma once

#include <QMainWindow>

class QMdiArea;

namespace platform {
class Registry;
}

namespace shell {

// The main window: the area that holds the picture and microscope windows,
// with its bars and panes around it. Its size, position and bar layout are
// kept in the registry's Workspace key between runs.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(platform::Registry& registry, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }

    // Restores the stored layout; false when none is stored or it is unusable.
    bool restoreWorkspace();
    void saveWorkspace();
    // Covers the screen's free area: the first-start size, also where no
    // window manager honours "maximised".
    void fitToScreen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    platform::Registry& m_registry;
    QMdiArea* m_mdiArea;
};

}  // namespace shell
