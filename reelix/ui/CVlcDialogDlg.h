#pragma once

#include <QDialog>
#include <QPixmap>

class QGroupBox;
class QLabel;
class QSlider;

namespace reelix {

class ClipPlayer;
class ImageButton;
class VideoArea;

// The player window: the clip's pictures above a strip with the open, play,
// pause and stop buttons, the seek slider and the time label.
class CVlcDialogDlg : public QDialog {
    Q_OBJECT
public:
    // `playerOptions` go to libvlc (tests choose a silent audio output).
    explicit CVlcDialogDlg(const QStringList& playerOptions = {}, QWidget* parent = nullptr);
    ~CVlcDialogDlg() override;

    // Plays `path`; an empty path leaves the player idle.
    void openClip(const QString& path);
    // Shows the window on top of the others and gives it the keyboard, so a
    // clip opened from another window comes to the front.
    void showInFront();

    ClipPlayer& player() { return *m_player; }
    VideoArea* videoArea() const { return m_video; }
    QSlider* slider() const { return m_slider; }
    QLabel* timeLabel() const { return m_timeLabel; }

    // Closing stops the clip.
    void done(int result) override;

    void onOpen();
    void onPlay();
    void onPause();
    void onStop();
    void showAbout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void onTimeChanged(qint64 timeMs, qint64 lengthMs);
    void onEndReached();
    void onFailed();
    // The clip ended or failed: when it gave no picture, the window says why.
    void tellWhenNothingPlayed();
    void onSliderAction();
    void showTime(qint64 timeMs);
    ImageButton* addButton(int index, const char* id, const char* icon, const QString& toolTip);

    ClipPlayer* m_player;
    qint64 m_length = 0;  // of the clip, as last reported; 0 after Stop
    VideoArea* m_video;
    QGroupBox* m_group;
    QSlider* m_slider;
    QLabel* m_timeLabel;
    ImageButton* m_buttons[4] = {};  // open, play, pause, stop
    QPixmap m_background;            // at the window's size
    bool m_centred = false;
};

}  // namespace reelix
