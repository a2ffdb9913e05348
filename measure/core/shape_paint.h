#pragma once

#include "measure_state.h"

#include <QPainter>

namespace measure {

// The shape's pen for the length of a Draw: solid, round ends, no fill.
// Everything the painter had before comes back when the scope ends.
class PenScope {
public:
    PenScope(QPainter& p, const QColor& colour, int width) : m_p(p)
    {
        m_p.save();
        m_p.setPen(QPen(colour, qMax(1, width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.setBrush(Qt::NoBrush);
    }
    ~PenScope() { m_p.restore(); }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

private:
    QPainter& m_p;
};

}  // namespace measure
