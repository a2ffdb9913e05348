#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace reelix {

// A button that is only its picture; pressed, the picture sinks and darkens.
class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    ImageButton(const QString& svgPath, const QString& toolTip, QWidget* parent = nullptr);

    QSize sizeHint() const override { return m_up.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_up;
    QPixmap m_pressed;
};

}  // namespace reelix
