#include "CFloderComboBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

namespace files {

CFloderComboBox::CFloderComboBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("CFloderComboBox"));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CFloderComboBox::showPopup()
{
    // As many entries as fit the drop-down height, which follows the font.
    const int row = std::max(1, view()->sizeHintForRow(0) > 0 ? view()->sizeHintForRow(0) : fontMetrics().height());
    setMaxVisibleItems(std::max(1, kDropDownHeight / row));
    QComboBox::showPopup();
}

void CFloderComboBox::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

void CFloderComboBox::keyPressEvent(QKeyEvent* event)
{
    const bool opensList = (event->modifiers() & Qt::AltModifier) && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!opensList) {
            event->ignore();
            return;
        }
        break;
    default:
        // Typing would jump to the entry starting with that letter.
        if (!event->text().isEmpty() && event->text().at(0).isPrint() && event->key() != Qt::Key_Space) {
            event->ignore();
            return;
        }
        break;
    }
    QComboBox::keyPressEvent(event);
}

}  // namespace files
