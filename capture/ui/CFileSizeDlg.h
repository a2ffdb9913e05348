#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace base {
class ViewHost;
}

namespace capture {

class CDeviceView;

// Asked before a clip starts: how many seconds to record, at which size, and
// whether to compress. OK records uncompressed, Compress compressed, Exit
// records nothing. A size chosen here applies at once, even after Exit.
class CFileSizeDlg : public QDialog {
    Q_OBJECT
public:
    CFileSizeDlg(CDeviceView& view, base::ViewHost& host, QWidget* parent = nullptr);

    int recordTime() const { return m_recordTime; }
    QLineEdit* timeEdit() const { return m_time; }
    QComboBox* resolutionBox() const { return m_resolution; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* compressButton() const { return m_compress; }
    QPushButton* exitButton() const { return m_exit; }

private:
    void finish(quint32 compression);
    void resolutionChosen(int index);

    CDeviceView& m_view;
    base::ViewHost& m_host;
    int m_recordTime = 10;
    QLineEdit* m_time;
    QComboBox* m_resolution;
    QPushButton* m_ok;
    QPushButton* m_compress;
    QPushButton* m_exit;
};

}  // namespace capture
