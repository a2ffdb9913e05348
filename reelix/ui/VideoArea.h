#pragma once

#include <QImage>
#include <QWidget>

namespace reelix {

// The clip's pictures, fitted into the area with their aspect kept, on black.
class VideoArea : public QWidget {
    Q_OBJECT
public:
    explicit VideoArea(QWidget* parent = nullptr);

    void showFrame(const QImage& frame);
    void clear();
    const QImage& frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
};

}  // namespace reelix
