#include "shape_list.h"

namespace measure {

void ShapeList::append(std::unique_ptr<CShape> shape)
{
    shape->serial = m_serial++;
    m_shapes.push_back(std::move(shape));
}

bool ShapeList::undo()
{
    if (m_shapes.empty())
        return false;
    m_shapes.pop_back();
    return true;
}

bool ShapeList::removeAt(size_t index)
{
    if (index >= m_shapes.size())
        return false;
    m_shapes.erase(m_shapes.begin() + std::ptrdiff_t(index));
    return true;
}

void ShapeList::clear()
{
    m_shapes.clear();
}

bool ShapeList::toggleShowFlag(int selector)
{
    if (selector < 2 || selector > 9)
        return false;
    for (auto& s : m_shapes) {
        int& flag = s->show[static_cast<size_t>(selector - 2)];
        flag = flag ? 0 : 1;
    }
    return true;
}

void ShapeList::drawAll(QPainter& p, const DrawContext& ctx) const
{
    drawShapes(p, m_shapes, ctx);
}

}  // namespace measure
