#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace shell {

// The device-slot buttons of the device manager pane: one square button per
// connected USB microscope ("SCOPE 1", "SCOPE 2", "MSCOPE 3" ...), stacked
// down the pane, each in its slot's place. Message 1172 shows the buttons of
// the slots whose microscope is connected: the slots of lParam's bits (bit 0
// slot 1), or without them the first wParam slots.
class CDevicesDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstButtonId = 1266;

    explicit CDevicesDlg(QWidget* parent = nullptr);

    // Shows buttons 1 to `count` (1 to 5) and hides the rest; other counts change nothing.
    void showConnected(int count);
    // Shows the buttons of the slots in `slots` (bit 0: slot 1) and hides the rest.
    void showSlots(unsigned slots);
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
    int m_lastShown = 0;  // the shown button lowest down the pane, 1 to 5; 0 for none
};

}  // namespace shell
