#pragma once

#include "capture/core/camera_profiles.h"

#include <QDialog>
#include <QElapsedTimer>

#include <map>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;

namespace capture {

class CDeviceView;

// The camera property dialog of one live window: which microscope it shows,
// the picture format and size, the picture controls set live on the camera,
// named profiles of them, and the picture-name prefix. Everything but the
// prefix acts at once; the prefix waits for OK.
class CVideoSettingDlg : public QDialog {
    Q_OBJECT
public:
    CVideoSettingDlg(CDeviceView& view, QWidget* parent = nullptr);

    // Reads everything from the camera again.
    void refresh();
    // Loads the named profile onto the camera (the profile list's choice).
    void chooseProfile(const QString& name);
    // What the last profile load could not apply, for the user; empty when all was.
    QString profileNote() const;

    void accept() override;

protected:
    void customEvent(QEvent* event) override;

private:
    struct Row {
        uint32_t id = 0;
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* box = nullptr;
        QCheckBox* automatic = nullptr;  // for white balance and exposure
        QComboBox* choices = nullptr;    // for a control that offers a list
    };
    void build();
    static Row addRow(QGridLayout* grid, int line, const QString& text);
    void fillDevices();
    void fillFormats();
    void fillResolutions();
    void fillProfiles();
    void fillOtherControls();
    void showControls();
    void showRow(Row& row);
    // Sets a control on the camera and remembers the value the dialog shows.
    void apply(uint32_t id, int32_t value);
    void applyAll(const ControlSettings& settings);
    void readFlags();
    void checkSizeSettled();
    void sliderMoved(Row& row, int value);
    void automaticToggled(Row& row, uint32_t automatic, bool on);
    void resetToDefaults();
    void forgetProfile();
    void showProfileName(const QString& name);
    void saveProfileAs();
    void formatChosen(int index);
    void resolutionChosen(int index);
    void deviceChosen(int index);
    CameraControl* control(uint32_t id);
    QString profiles() const;

    CDeviceView& m_view;
    std::vector<CameraControl> m_controls;
    std::map<uint32_t, Row> m_rows;  // by control id: the eight properties and the others
    QComboBox* m_devices;
    QComboBox* m_formats;
    QComboBox* m_resolutions;
    QComboBox* m_profiles;
    QLineEdit* m_prefix;
    QLabel* m_note;
    QGroupBox* m_others;
    QGridLayout* m_otherGrid;
    QString m_profileNote;
    QTimer* m_flagsLater;
    QTimer* m_sizeSettled;
    QElapsedTimer m_sizeSince;
    QDialogButtonBox* m_buttons = nullptr;
};

}  // namespace capture
