#pragma once

#include "capture/core/timed_series.h"

#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QSize>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace capture {

// Timed capture: a series of still pictures of one live window from a start
// time at a fixed interval. Each picture is asked of the view by one posted
// TimedSnapshot message, which the view answers like its Camera command.
// Modeless; it deletes itself when closed, and closing ends the series.
class CTimerDlg : public QDialog {
    Q_OBJECT
public:
    CTimerDlg(QObject* view, QSize frameSize, QWidget* parent = nullptr);
    // With the clocks the series runs by (tests give their own).
    CTimerDlg(QObject* view, QSize frameSize, std::shared_ptr<SeriesClock> clock, QWidget* parent = nullptr);
    ~CTimerDlg() override;

    // Ends the running series and tells the user why (the disk is full). The
    // pictures taken stay, and so does the dialog with their count. Does
    // nothing when no series runs.
    void stopSeries(const QString& reason);
    bool seriesRunning() const { return m_running; }

    // The uncompressed 24-bit size of `count` pictures in MB, as "  11.25".
    static QString sizeEstimateText(QSize frameSize, int count);

    void done(int result) override;

Q_SIGNALS:
    // From the worker to the dialog's thread; `series` tells an old series'
    // last words from the current one's.
    void pictureDue(quint64 series, QPrivateSignal);
    void seriesEnded(quint64 series, bool completed, QPrivateSignal);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Fields {
        QDateTime start;
        int intervalSeconds;
        int count;
    };
    std::optional<Fields> readFields();
    std::optional<int> readField(QLineEdit* edit, int low, int high, const QString& name);
    void startOrStop();
    void startSeries();
    void endSeries();
    void onPictureDue(quint64 series);
    void onSeriesEnded(quint64 series, bool completed);
    void showEstimate(int count);

    QPointer<QObject> m_view;
    QSize m_frameSize;
    std::shared_ptr<SeriesClock> m_clock;
    TimedSeries m_series;
    quint64 m_seriesId = 0;
    bool m_running = false;
    int m_completed = 0;

    QLineEdit* m_year;
    QLineEdit* m_month;
    QLineEdit* m_day;
    QLineEdit* m_hour;
    QLineEdit* m_minute;
    QLineEdit* m_second;
    QLineEdit* m_intervalMinutes;
    QLineEdit* m_intervalSeconds;
    QLineEdit* m_count;
    QLabel* m_completedLabel;
    QLineEdit* m_estimate;
    QPushButton* m_start;
    QPushButton* m_exit;
};

}  // namespace capture
