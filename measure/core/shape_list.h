#pragma once

#include "shape.h"

#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace measure {

// The finished shapes of one picture, in the order they were made. The list
// owns them; removing one deletes it.
class ShapeList {
public:
    // Appends a finished shape and gives it the next serial number.
    void append(std::unique_ptr<CShape> shape);
    // Removes the last shape. False when there was none.
    bool undo();
    // Removes the shape at `index`. False when there is none there.
    bool removeAt(size_t index);
    void clear();
    // Inverts one show flag on every shape: 2 name, 3 length, 4 radius,
    // 5 diameter, 6 circumference, 7 area, 8 angle, 9 unit. Other
    // selectors change nothing; true when something changed.
    bool toggleShowFlag(int selector);

    // Draws them all, each named by its place within its kind (the first
    // line is DL0, the next DL1).
    void drawAll(QPainter& p, const DrawContext& ctx) const;

    size_t size() const { return m_shapes.size(); }
    bool empty() const { return m_shapes.empty(); }
    CShape& at(size_t i) const { return *m_shapes[i]; }
    std::span<const std::unique_ptr<CShape>> all() const { return m_shapes; }
    int nextSerial() const { return m_serial; }

private:
    std::vector<std::unique_ptr<CShape>> m_shapes;
    int m_serial = 0;
};

}  // namespace measure
