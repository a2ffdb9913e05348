#include "CTimerDlg.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/message_numbers.h"
#include "platform/posted_message.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace capture {

namespace {

QLineEdit* numberEdit(const char* id, int value, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setObjectName(QLatin1String(id));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    return edit;
}

QLabel* label(const char* id, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(id));
    return l;
}

// "Start Time (Mon)": a field named by its group and its own label.
QString fieldName(const QString& group, const QString& field)
{
    return QStringLiteral("%1 (%2)").arg(group, field);
}

}  // namespace

CTimerDlg::CTimerDlg(QObject* view, QSize frameSize, QWidget* parent) : CTimerDlg(view, frameSize, systemSeriesClock(), parent) {}

CTimerDlg::CTimerDlg(QObject* view, QSize frameSize, std::shared_ptr<SeriesClock> clock, QWidget* parent)
    : QDialog(parent), m_view(view), m_frameSize(frameSize), m_clock(clock), m_series(std::move(clock))
{
    setObjectName(QStringLiteral("CTimerDlg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(base::uiText("CaptureSetting", "Capture Setting"));

    const QDateTime now = QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(m_clock->wallNow().time_since_epoch()).count());
    m_year = numberEdit("1239", now.date().year(), this);
    m_month = numberEdit("1237", now.date().month(), this);
    m_day = numberEdit("1141", now.date().day(), this);
    m_hour = numberEdit("1145", now.time().hour(), this);
    m_minute = numberEdit("1143", now.time().minute(), this);
    m_second = numberEdit("1241", now.time().second(), this);
    m_intervalMinutes = numberEdit("1147", 0, this);
    m_intervalSeconds = numberEdit("1243", 5, this);
    m_count = numberEdit("1247", 3, this);
    m_count->installEventFilter(this);
    m_completedLabel = label("1164", QStringLiteral("0"), this);
    m_estimate = new QLineEdit(this);
    m_estimate->setObjectName(QStringLiteral("1249"));
    m_estimate->setReadOnly(true);
    m_start = new QPushButton(base::uiText("Start", "Start"), this);
    m_start->setObjectName(QStringLiteral("1245"));
    m_start->setDefault(true);
    m_exit = new QPushButton(base::uiText("Exit", "Exit"), this);
    m_exit->setObjectName(QStringLiteral("2"));

    auto* when = new QHBoxLayout;
    when->addWidget(label("1251", base::uiText("Year", "Yr"), this));
    when->addWidget(m_year);
    when->addWidget(label("1152", base::uiText("Month", "Mon"), this));
    when->addWidget(m_month);
    when->addWidget(label("1253", base::uiText("Day", "Day"), this));
    when->addWidget(m_day);
    when->addWidget(label("1154", base::uiText("Hour", "Hr"), this));
    when->addWidget(m_hour);
    when->addWidget(new QLabel(QStringLiteral(":"), this));
    when->addWidget(m_minute);
    when->addWidget(new QLabel(QStringLiteral(":"), this));
    when->addWidget(m_second);
    when->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(label("1257", base::uiText("Interval", "Interval"), this), 0, 0);
    auto* interval = new QHBoxLayout;
    interval->addWidget(m_intervalMinutes);
    interval->addWidget(new QLabel(base::uiText("Minute", "Min"), this));
    interval->addWidget(m_intervalSeconds);
    interval->addWidget(new QLabel(base::uiText("Second", "Sec"), this));
    interval->addStretch();
    grid->addLayout(interval, 0, 1, 1, 3);
    grid->addWidget(label("1160", base::uiText("Capture", "Capture"), this), 1, 0);
    grid->addWidget(m_count, 1, 1);
    grid->addWidget(label("1261", base::uiText("Frame", "Frame"), this), 1, 2);
    grid->addWidget(label("1263", base::uiText("Completed", "Completed"), this), 2, 0);
    grid->addWidget(m_completedLabel, 2, 1);
    grid->addWidget(label("1246", base::uiText("Frame", "Frame"), this), 2, 2);
    grid->addWidget(label("1162", base::uiText("FileSize", "File Size"), this), 3, 0);
    grid->addWidget(m_estimate, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("MB"), this), 3, 2);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label("1150", base::uiText("StartTime", "Start Time"), this));
    layout->addLayout(when);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    showEstimate(3);
    connect(m_start, &QPushButton::clicked, this, &CTimerDlg::startOrStop);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &CTimerDlg::pictureDue, this, &CTimerDlg::onPictureDue, Qt::QueuedConnection);
    connect(this, &CTimerDlg::seriesEnded, this, &CTimerDlg::onSeriesEnded, Qt::QueuedConnection);
}

CTimerDlg::~CTimerDlg()
{
    // The worker reports to this dialog: it ends before the dialog does.
    m_series.stop();
}

QString CTimerDlg::sizeEstimateText(QSize frameSize, int count)
{
    const qint64 hundredths = qint64(frameSize.width()) * frameSize.height() * count * 3 * 100 / 1048576;
    return QStringLiteral("%1.%2").arg(hundredths / 100, 4).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

void CTimerDlg::showEstimate(int count)
{
    m_estimate->setText(sizeEstimateText(m_frameSize, count));
}

bool CTimerDlg::eventFilter(QObject* watched, QEvent* event)
{
    // The estimate follows the count when the user leaves the box; a count out
    // of range is told about at Start, not while moving between fields.
    if (watched == m_count && event->type() == QEvent::FocusOut) {
        bool ok = false;
        const int count = m_count->text().toInt(&ok);
        if (ok && count >= 1 && count <= 2000)
            showEstimate(count);
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<int> CTimerDlg::readField(QLineEdit* edit, int low, int high, const QString& name)
{
    const int value = edit->text().toInt();  // empty reads as 0
    if (value >= low && value <= high)
        return value;
    platform::messageDialogs().inform(
        base::uiText("TimerRange", "Please enter a number from %2 to %3 for %1.", base::kMessageCapacity)
            .arg(name)
            .arg(low)
            .arg(high));
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

std::optional<CTimerDlg::Fields> CTimerDlg::readFields()
{
    const QString start = base::uiText("StartTime", "Start Time");
    const QString interval = base::uiText("Interval", "Interval");
    const QString minute = base::uiText("Minute", "Min");
    const QString second = base::uiText("Second", "Sec");
    const auto year = readField(m_year, 2008, 2032, fieldName(start, base::uiText("Year", "Yr")));
    if (!year)
        return std::nullopt;
    const auto month = readField(m_month, 1, 12, fieldName(start, base::uiText("Month", "Mon")));
    if (!month)
        return std::nullopt;
    const auto day = readField(m_day, 1, 31, fieldName(start, base::uiText("Day", "Day")));
    if (!day)
        return std::nullopt;
    const auto hour = readField(m_hour, 0, 24, fieldName(start, base::uiText("Hour", "Hr")));
    if (!hour)
        return std::nullopt;
    const auto min = readField(m_minute, 0, 60, fieldName(start, minute));
    if (!min)
        return std::nullopt;
    const auto sec = readField(m_second, 0, 60, fieldName(start, second));
    if (!sec)
        return std::nullopt;
    const auto intervalMinutes = readField(m_intervalMinutes, 0, 999, fieldName(interval, minute));
    if (!intervalMinutes)
        return std::nullopt;
    const auto intervalSeconds = readField(m_intervalSeconds, 0, 59, fieldName(interval, second));
    if (!intervalSeconds)
        return std::nullopt;
    const auto count = readField(m_count, 1, 2000, base::uiText("Capture", "Capture"));
    if (!count)
        return std::nullopt;
    // Counted on from the first of the month, so that 24 o'clock is midnight
    // of the next day, second 60 the next minute and 31 April the first of May.
    const QDateTime when = QDateTime(QDate(*year, *month, 1), QTime(0, 0))
                               .addDays(*day - 1)
                               .addSecs(qint64(*hour) * 3600 + qint64(*min) * 60 + *sec);
    return Fields{when, *intervalMinutes * 60 + *intervalSeconds, *count};
}

void CTimerDlg::startOrStop()
{
    if (m_running) {
        endSeries();
        m_completed = 0;
        m_completedLabel->setText(QStringLiteral("0"));
        return;
    }
    startSeries();
}

void CTimerDlg::startSeries()
{
    const std::optional<Fields> fields = readFields();
    if (!fields)
        return;
    showEstimate(fields->count);
    // Compared to the second: the second shown when the dialog opened is still
    // a time to start at.
    const qint64 nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(m_clock->wallNow().time_since_epoch()).count();
    if (fields->start.toMSecsSinceEpoch() < nowMs - nowMs % 1000) {
        platform::messageDialogs().inform(
            base::uiText("SET_TIMER_FAIL", "The time of your setting must be a future time!", base::kMessageCapacity));
        return;
    }
    const quint64 id = ++m_seriesId;
    const SeriesPlan plan{SeriesClock::WallTime(std::chrono::milliseconds(fields->start.toMSecsSinceEpoch())),
                          std::chrono::seconds(fields->intervalSeconds), fields->count};
    const bool started = m_series.start(
        plan, [this, id](int) { Q_EMIT pictureDue(id, QPrivateSignal()); },
        [this, id](bool completed) { Q_EMIT seriesEnded(id, completed, QPrivateSignal()); });
    if (!started)
        return;
    m_running = true;
    m_completed = 0;
    m_completedLabel->setText(QStringLiteral("0"));
    m_start->setText(base::uiText("Stop", "Stop"));
}

void CTimerDlg::endSeries()
{
    m_series.stop();
    ++m_seriesId;  // what the worker still has on its way is no longer news
    m_running = false;
    m_start->setText(base::uiText("Start", "Start"));
}

void CTimerDlg::stopSeries(const QString& reason)
{
    if (!m_running)
        return;
    endSeries();
    platform::messageDialogs().inform(reason);
}

void CTimerDlg::onPictureDue(quint64 series)
{
    if (series != m_seriesId)
        return;
    if (m_view)
        platform::postMessage(m_view, platform::msg::TimedSnapshot, 0, 0);
    m_completedLabel->setText(QString::number(++m_completed));
}

void CTimerDlg::onSeriesEnded(quint64 series, bool completed)
{
    if (series != m_seriesId || !completed)
        return;
    endSeries();
    close();
}

void CTimerDlg::done(int result)
{
    endSeries();
    QDialog::done(result);
}

void CTimerDlg::closeEvent(QCloseEvent* event)
{
    endSeries();
    QDialog::closeEvent(event);
}

}  // namespace capture
