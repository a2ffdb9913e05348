#include "MeasurePreview.h"

#include "measure/core/measure_state.h"

#include <QPainter>

namespace measure {

MeasurePreview::MeasurePreview(const MeasureState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("MeasurePreview"));
    setMinimumSize(200, 100);
}

void MeasurePreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(20, 20, -20, -20);
    p.setPen(QPen(m_state.colour, m_state.lineWidth));
    const int midY = (r.top() + r.bottom()) / 2;
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), midY, r.right(), midY);

    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, m_state.fontSize));
    font.setWeight(QFont::Normal);
    p.setFont(font);
    p.drawText(QPoint((r.left() + r.right()) / 3, midY + 10), decimalsSample(m_state.decimals));
}

}  // namespace measure
