#pragma once

#include <QImage>
#include <QWidget>

namespace platform {
class PostedMessage;
}

namespace files {

// The magnifier: a square around the mouse in a picture or live window,
// enlarged to the largest square the widget holds, in its middle, with a red
// cross through its centre. Its
// level (1, 2, 3: squares of 100, 50, 30 picture pixels) steps on with the
// left button and goes back to 1 with the right one. The windows that feed
// it send message 1138 on the GUI thread, either carrying the square as a
// QImage or having written it into the shared buffer (bottom-up 24-bit rows
// padded to 4 bytes); the square is copied out at once, so a later write
// never changes the picture shown.
class CThumbnailsFormViewEnlarged : public QWidget {
    Q_OBJECT
public:
    // `sharedBuffer` (may be null) lives as long as the program.
    explicit CThumbnailsFormViewEnlarged(const QByteArray* sharedBuffer, QWidget* parent = nullptr);

    int level() const { return m_level; }
    // The side of the square in picture pixels for a level.
    static int sideOfLevel(int level);
    const QImage& picture() const { return m_picture; }

    bool handleMessage(platform::PostedMessage& message);

Q_SIGNALS:
    void levelChanged(int level);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void setLevel(int level);
    QImage fromSharedBuffer() const;
    QRect squareRect() const;

    const QByteArray* m_buffer;
    int m_level = 1;
    QImage m_picture;
};

}  // namespace files
