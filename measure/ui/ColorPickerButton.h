#pragma once

#include <QColor>
#include <QToolButton>

namespace measure {

// A colour button with a drop-down of standard colours, "Default" (the
// system's button-face colour) and "Other..." (the full colour dialog).
class ColorPickerButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColorPickerButton(QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    // Picks a colour as the user would, announcing it.
    void choose(const QColor& colour);
    static QColor defaultColour();

Q_SIGNALS:
    void colourChosen(const QColor& colour);

private:
    void buildPopup();

    QColor m_colour;
};

}  // namespace measure
