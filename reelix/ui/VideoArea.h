#pragma once

#include <QImage>
#include <QWidget>

namespace reelix {

// The clip's pictures, fitted into the area with their aspect kept, on black;
// or, where there is no picture, a message in its middle.
class VideoArea : public QWidget {
    Q_OBJECT
public:
    explicit VideoArea(QWidget* parent = nullptr);

    // A picture takes the place of the message.
    void showFrame(const QImage& frame);
    void showMessage(const QString& message);
    void clear();
    const QImage& frame() const { return m_frame; }
    const QString& message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
    QString m_message;
};

}  // namespace reelix
