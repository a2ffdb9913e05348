#include "CThumbnailsFormView.h"

#include "CThumbnailsFormViewEnlarged.h"
#include "CThumbnailsFormViewView.h"

#include "platform/posted_message.h"

#include <QMetaMethod>
#include <QSplitter>
#include <QVBoxLayout>

namespace files {

CThumbnailsFormView::CThumbnailsFormView(const base::AppPaths& paths, const QByteArray* sharedBuffer, QWidget* parent)
    : QWidget(parent),
      m_splitter(new QSplitter(Qt::Vertical, this)),
      m_list(new CThumbnailsFormViewView(paths, m_splitter)),
      m_magnifier(new CThumbnailsFormViewEnlarged(sharedBuffer, m_splitter))
{
    setObjectName(QStringLiteral("CThumbnailsFormView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    m_splitter->addWidget(m_list);
    m_splitter->addWidget(m_magnifier);
    m_splitter->setStretchFactor(0, 4);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    connect(m_list, &CThumbnailsFormViewView::openPictureRequested, this, &CThumbnailsFormView::openPictureRequested);
    connect(m_list, &CThumbnailsFormViewView::openClipRequested, this, [this](const QString& clip) {
        if (isSignalConnected(QMetaMethod::fromSignal(&CThumbnailsFormView::openClipRequested)))
            Q_EMIT openClipRequested(clip);
        else
            CThumbnailsFormViewView::openClipWithDesktop(clip);
    });
}

int CThumbnailsFormView::magnifierLevel() const
{
    return m_magnifier->level();
}

void CThumbnailsFormView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_split) {
        m_split = true;
        const int h = std::max(10, height());
        m_splitter->setSizes({h * 4 / 5, h - h * 4 / 5});
    }
}

void CThumbnailsFormView::customEvent(QEvent* event)
{
    if (auto* message = dynamic_cast<platform::PostedMessage*>(event)) {
        if (m_list->handleMessage(*message) || m_magnifier->handleMessage(*message))
            return;
    }
    QWidget::customEvent(event);
}

}  // namespace files
