#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

namespace capture {

class CDeviceView;

// F2 takes a snapshot, F3 and F4 start or stop a recording, in whichever
// window has the focus: the live window last used gets them and comes to
// the top. Installed on the application once the first live window opens.
class LiveHotKeys : public QObject {
    Q_OBJECT
public:
    static LiveHotKeys& instance();

    void add(CDeviceView* view);
    void remove(CDeviceView* view);
    // The window the keys go to from now on.
    void setCurrent(CDeviceView* view);
    CDeviceView* target() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPointer<CDeviceView>> m_views;
    QPointer<CDeviceView> m_current;
    bool m_installed = false;
};

}  // namespace capture
