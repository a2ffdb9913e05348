#include "CDevicesDlg.h"

#include "platform/posted_message.h"

#include <QPushButton>

namespace shell {

CDevicesDlg::CDevicesDlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CDevicesDlg"));
    static const char* const kLabels[] = {"SCOPE 1", "SCOPE 2", "MSCOPE 3", "MSCOPE 4", "MSCOPE 5"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QPushButton(QLatin1String(kLabels[i]), this);
        b->setObjectName(QString::number(kFirstButtonId + i));
        b->hide();  // until the microscopes are counted
        connect(b, &QPushButton::clicked, this, [this, i] { Q_EMIT slotChosen(i + 1); });
        m_buttons[static_cast<size_t>(i)] = b;
    }
}

void CDevicesDlg::showConnected(int count)
{
    if (count >= 1 && count <= 5)
        showSlots((1u << count) - 1);
}

void CDevicesDlg::showSlots(unsigned slots)
{
    m_lastShown = 0;
    for (int i = 0; i < 5; ++i) {
        const bool shown = (slots >> i) & 1u;
        m_buttons[static_cast<size_t>(i)]->setVisible(shown);
        if (shown)
            m_lastShown = i + 1;
    }
    layOut();
}

void CDevicesDlg::layOut()
{
    // Square buttons the width of the pane less 20, 10 pixels apart.
    const int side = std::max(20, width() - 20);
    for (int i = 0; i < 5; ++i)
        m_buttons[static_cast<size_t>(i)]->setGeometry(10, 10 + i * (side + 10), side, side);
    setMinimumHeight(m_lastShown > 0 ? 10 + m_lastShown * (side + 10) : 0);
}

void CDevicesDlg::resizeEvent(QResizeEvent*)
{
    layOut();
}

void CDevicesDlg::customEvent(QEvent* event)
{
    auto* m = static_cast<platform::PostedMessage*>(event);
    if (m->number() != platform::msg::ShowConnectedSlots)
        QWidget::customEvent(event);
    else if (m->lParam() != 0)
        showSlots(static_cast<unsigned>(m->lParam()));
    else
        showConnected(static_cast<int>(m->wParam()));
}

}  // namespace shell
