#include "reelix/ui/CVlcDialogDlg.h"

#include "reelix/core/clip_player.h"
#include "reelix/core/play_clock.h"
#include "reelix/core/unplayable_clip.h"

#include "reelix/core/reelix_texts.h"
#include "reelix/core/window_layout.h"
#include "reelix/ui/CAboutDlg.h"
#include "reelix/ui/ImageButton.h"
#include "reelix/ui/VideoArea.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QSvgRenderer>
#include <QWindow>

namespace reelix {

CVlcDialogDlg::CVlcDialogDlg(const QStringList& playerOptions, QWidget* parent)
    : QDialog(parent), m_player(new ClipPlayer(playerOptions, this))
{
    setObjectName(QStringLiteral("CVlcDialogDlg"));
    setWindowTitle(QStringLiteral("Reelix"));
    setWindowIcon(QIcon(QStringLiteral(":/reelix/reelix.svg")));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    m_video = new VideoArea(this);
    m_video->setObjectName(QStringLiteral("1001"));
    m_group = new QGroupBox(this);
    m_group->setObjectName(QStringLiteral("1012"));
    m_group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid rgba(255, 255, 255, 70); border-radius: 5px; }"));
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("1007"));
    m_slider->setRange(0, kSliderMaximum);
    m_slider->setFocusPolicy(Qt::StrongFocus);
    m_timeLabel = new QLabel(timeLabelText(0, 0), this);
    m_timeLabel->setObjectName(QStringLiteral("1010"));
    m_timeLabel->setStyleSheet(QStringLiteral("color: #eceff1;"));
    m_timeLabel->setGeometry(kTimeLabelRect);

    connect(addButton(0, "1005", "open", reelix::text("OpenClip", "Open a clip")), &QAbstractButton::clicked, this,
            &CVlcDialogDlg::onOpen);
    connect(addButton(1, "1002", "play", reelix::text("Play", "Play")), &QAbstractButton::clicked, this, &CVlcDialogDlg::onPlay);
    connect(addButton(2, "1004", "pause", reelix::text("Pause", "Pause")), &QAbstractButton::clicked, this,
            &CVlcDialogDlg::onPause);
    connect(addButton(3, "1003", "stop", reelix::text("Stop", "Stop")), &QAbstractButton::clicked, this, &CVlcDialogDlg::onStop);
    m_group->lower();

    connect(m_slider, &QSlider::actionTriggered, this, &CVlcDialogDlg::onSliderAction);
    connect(m_slider, &QSlider::sliderReleased, this, &CVlcDialogDlg::onSliderAction);
    connect(m_player, &ClipPlayer::timeChanged, this, &CVlcDialogDlg::onTimeChanged);
    connect(m_player, &ClipPlayer::endReached, this, &CVlcDialogDlg::onEndReached);
    connect(m_player, &ClipPlayer::failed, this, &CVlcDialogDlg::onFailed);
    connect(m_player, &ClipPlayer::frameReady, this, [this] { m_video->showFrame(m_player->frame()); });

    // The window opens at the background's size and is never made smaller.
    setMinimumSize(kInitialClientSize);
    resize(kInitialClientSize);
    m_slider->setFocus();
}

CVlcDialogDlg::~CVlcDialogDlg() = default;

ImageButton* CVlcDialogDlg::addButton(int index, const char* id, const char* icon, const QString& toolTip)
{
    auto* button = new ImageButton(QStringLiteral(":/reelix/%1.svg").arg(QLatin1String(icon)), toolTip, this);
    button->setObjectName(QLatin1String(id));
    button->move(kButtonLefts[index], kButtonTop);
    m_buttons[index] = button;
    return button;
}

void CVlcDialogDlg::openClip(const QString& path)
{
    if (path.isEmpty())
        return;
    // Nothing of the clip before stays on show.
    m_video->clear();
    m_length = 0;
    m_slider->setValue(0);
    showTime(0);
    m_player->open(path);
}

void CVlcDialogDlg::showInFront()
{
    show();
    raise();
    activateWindow();
    // Without a window manager the keyboard can only go to a window already
    // on screen: ask again once it is.
    if (windowHandle() && !windowHandle()->isExposed())
        windowHandle()->installEventFilter(this);
}

bool CVlcDialogDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        raise();
        activateWindow();
    }
    return QDialog::eventFilter(watched, event);
}

void CVlcDialogDlg::done(int result)
{
    m_player->stop();
    QDialog::done(result);
}

void CVlcDialogDlg::onOpen()
{
    const QString folder = QFileInfo(m_player->clipPath()).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, QString(), m_player->clipPath().isEmpty() ? QString() : folder);
    openClip(path);
}

void CVlcDialogDlg::onPlay()
{
    m_player->play();
}

void CVlcDialogDlg::onPause()
{
    m_player->pause();
}

void CVlcDialogDlg::onStop()
{
    m_player->stop();
    m_length = 0;
    m_slider->setValue(0);
    showTime(0);
}

void CVlcDialogDlg::onTimeChanged(qint64 timeMs, qint64 lengthMs)
{
    m_length = lengthMs;
    showTime(timeMs);
    // A time change does not pull the handle from under the user's mouse.
    if (!m_slider->isSliderDown())
        m_slider->setValue(sliderPositionFor(timeMs, m_length));
}

void CVlcDialogDlg::onEndReached()
{
    showTime(m_length);
    if (m_length > 0 && !m_slider->isSliderDown())
        m_slider->setValue(kSliderMaximum);
    tellWhenNothingPlayed();
}

void CVlcDialogDlg::onFailed()
{
    tellWhenNothingPlayed();
}

void CVlcDialogDlg::tellWhenNothingPlayed()
{
    if (m_video->frame().isNull() && !m_player->clipPath().isEmpty())
        m_video->showMessage(unplayableMessage(m_player->clipPath()));
}

void CVlcDialogDlg::showTime(qint64 timeMs)
{
    m_timeLabel->setText(timeLabelText(timeMs, m_length));
}

void CVlcDialogDlg::onSliderAction()
{
    // The action has moved the handle but not yet the value. A paused clip
    // reports no time, so the label follows the handle at once.
    const qint64 time = seekTimeFor(m_length, m_slider->sliderPosition());
    m_player->setTime(time);
    if (m_length > 0)
        showTime(time);
}

void CVlcDialogDlg::showAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CVlcDialogDlg::paintEvent(QPaintEvent*)
{
    if (m_background.size() != size() * devicePixelRatio()) {
        m_background = QPixmap(size() * devicePixelRatio());
        m_background.setDevicePixelRatio(devicePixelRatio());
        QPainter painter(&m_background);
        QSvgRenderer(QStringLiteral(":/reelix/background.svg")).render(&painter, QRectF(QPointF(), size()));
    }
    QPainter(this).drawPixmap(0, 0, m_background);
}

void CVlcDialogDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const WindowLayout layout = layoutFor(size());
    m_video->setGeometry(layout.videoArea);
    m_group->setGeometry(layout.groupFrame);
    m_slider->setGeometry(layout.slider);
    for (int i = 0; i < 4; ++i)
        if (m_buttons[i])
            m_buttons[i]->move(QPoint(kButtonLefts[i], kButtonTop) + layout.controlsShift);
    m_timeLabel->setGeometry(kTimeLabelRect.translated(layout.controlsShift));
    update();
}

void CVlcDialogDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_centred || !screen())
        return;
    m_centred = true;
    QRect frame = frameGeometry();
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft());
}

void CVlcDialogDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;  // no default button: Enter does nothing
    case Qt::Key_Space:
        if (m_player->state() == ClipPlayer::State::Playing || m_player->state() == ClipPlayer::State::Paused)
            onPause();
        else
            onPlay();
        event->accept();
        return;
    case Qt::Key_F1: showAbout(); return;
    default: QDialog::keyPressEvent(event);  // Escape closes
    }
}

void CVlcDialogDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(reelix::text("AboutReelixMenu", "&About Reelix..."), this, &CVlcDialogDlg::showAbout);
    menu.exec(event->globalPos());
}

}  // namespace reelix
