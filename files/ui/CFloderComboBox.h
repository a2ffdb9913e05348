#pragma once

#include <QComboBox>

namespace files {

// The folder list of the folder pane. The chosen folder is where every new
// picture and clip goes, so the selection changes only when the user picks
// an entry: the mouse wheel, the keys that step through the entries and
// typing a name's first letter are ignored (the list still opens with
// Alt+Down, F4 or Space).
class CFloderComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kControlId = 1126;
    static constexpr int kDropDownHeight = 200;

    explicit CFloderComboBox(QWidget* parent = nullptr);

    void showPopup() override;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace files
