#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace shell {

// The device-slot buttons of the device manager pane: one square button per
// connected USB microscope ("SCOPE 1", "SCOPE 2", "MSCOPE 3" ...), stacked
// down the pane. Message 1172 shows as many as are connected.
class CDevicesDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstButtonId = 1266;

    explicit CDevicesDlg(QWidget* parent = nullptr);

    // Shows buttons 1 to `count` (1 to 5) and hides the rest; other counts change nothing.
    void showConnected(int count);
    QPushButton* button(int slot) const { return m_buttons.at(static_cast<size_t>(slot - 1)); }

Q_SIGNALS:
    // A slot button was pressed: open slot `slot`'s window, or bring it to the top.
    void slotChosen(int slot);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void layOut();

    std::array<QPushButton*, 5> m_buttons{};
    int m_connected = 0;
};

}  // namespace shell
