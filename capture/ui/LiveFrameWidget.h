#pragma once

#include <QWidget>

namespace capture {

class CCaptureDevice;

// Shows a slot's composed live picture: wakes on the device's frameReady,
// takes the newest picture from its mailbox and paints it 1:1.
class LiveFrameWidget : public QWidget {
    Q_OBJECT
public:
    explicit LiveFrameWidget(CCaptureDevice& device, QWidget* parent = nullptr);
    int framesShown() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CCaptureDevice& m_device;
    int m_shown = 0;
};

}  // namespace capture
