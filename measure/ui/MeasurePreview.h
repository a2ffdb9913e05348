#pragma once

#include <QWidget>

namespace measure {

struct MeasureState;

// A sample of how measurements will look: two end bars joined by a line in
// the measurement colour and width, and a number with the chosen decimals in
// the label font.
class MeasurePreview : public QWidget {
    Q_OBJECT
public:
    explicit MeasurePreview(const MeasureState& state, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const MeasureState& m_state;
};

}  // namespace measure
