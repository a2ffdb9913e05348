#include "PictureOperationRunner.h"

#include "picture/core/picture_operations.h"

#include "platform/posted_message.h"

#include <QTimer>

namespace picture {

PictureOperationRunner::PictureOperationRunner(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(333);
    connect(m_timer, &QTimer::timeout, this, [this] { Q_EMIT progress(m_progress.load()); });
}

PictureOperationRunner::~PictureOperationRunner()
{
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

bool PictureOperationRunner::start(const CxImage& picture, int operation)
{
    if (running())
        return false;
    m_operation = operation;
    m_stop.store(false);
    m_progress.store(0);
    Q_EMIT progress(0);
    auto copy = std::make_shared<CxImage>(picture);
    m_thread = std::thread([this, copy, operation] {
        const bool done = applyPictureOperation(*copy, operation, &m_progress, &m_stop);
        platform::postMessage(this, platform::msg::PictureOpProgress, 100, 0, done ? copy : std::shared_ptr<CxImage>());
    });
    m_timer->start();
    return true;
}

void PictureOperationRunner::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PictureOperationRunner::customEvent(QEvent* event)
{
    auto* message = static_cast<platform::PostedMessage*>(event);
    if (message->number() != platform::msg::PictureOpProgress)
        return QObject::customEvent(event);
    wait();
    m_timer->stop();
    Q_EMIT progress(100);
    const auto* result = message->payload<std::shared_ptr<CxImage>>();
    Q_EMIT finished(result ? *result : nullptr, m_operation);
}

}  // namespace picture
