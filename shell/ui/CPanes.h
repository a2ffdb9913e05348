#pragma once

#include <QDockWidget>

// The folder manager pane is files::CPropertiesWnd.
namespace shell {

// The device manager pane: the microscope slots a user opens live windows from.
class CDevicesDlg;

class CFileView : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kPaneId = 133;
    explicit CFileView(QWidget* parent = nullptr);
    CDevicesDlg* devicesDlg() const { return m_devices; }
    // The title in the language chosen now.
    void relabel();

private:
    CDevicesDlg* m_devices;
};

}  // namespace shell
