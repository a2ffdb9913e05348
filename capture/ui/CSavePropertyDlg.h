#pragma once

#include "capture/core/camera_profiles.h"

#include <QDialog>

class QLineEdit;

namespace capture {

// Asks for a new profile's name and saves the values under it. OK keeps the
// dialog open, saying why, while the name is empty or already taken.
class CSavePropertyDlg : public QDialog {
    Q_OBJECT
public:
    // `folder`: the profile folder; `section`: "USBProperty" or "WiFiProperty".
    CSavePropertyDlg(QString folder, QString section, ProfileValues values, QWidget* parent = nullptr);

    // The name saved under, once accepted.
    QString name() const;

    void accept() override;

private:
    QString m_folder;
    QString m_section;
    ProfileValues m_values;
    QLineEdit* m_name;
};

}  // namespace capture
