#include "ColorPickerButton.h"

#include "base/text_lookup.h"

#include <QApplication>
#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace measure {

namespace {

// The 40 colours of the classic palette, eight to a row.
constexpr QRgb kPalette[] = {
    0x000000, 0x993300, 0x333300, 0x003300, 0x003366, 0x000080, 0x333399, 0x333333, 0x800000, 0xFF6600,
    0x808000, 0x008000, 0x008080, 0x0000FF, 0x666699, 0x808080, 0xFF0000, 0xFF9900, 0x99CC00, 0x339966,
    0x33CCCC, 0x3366FF, 0x800080, 0x999999, 0xFF00FF, 0xFFCC00, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x00CCFF,
    0x993366, 0xC0C0C0, 0xFF99CC, 0xFFCC99, 0xFFFF99, 0xCCFFCC, 0xCCFFFF, 0x99CCFF, 0xCC99FF, 0xFFFFFF,
};

QIcon swatch(const QColor& c, QSize size)
{
    QPixmap pm(size);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

}  // namespace

ColorPickerButton::ColorPickerButton(QWidget* parent) : QToolButton(parent)
{
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(false);
    buildPopup();
    setColour(Qt::red);
}

QColor ColorPickerButton::defaultColour()
{
    return QApplication::palette().color(QPalette::Button);
}

void ColorPickerButton::setColour(const QColor& colour)
{
    m_colour = colour;
    setIcon(swatch(colour, QSize(28, 14)));
    setText(colour.name(QColor::HexRgb).toUpper());
}

void ColorPickerButton::choose(const QColor& colour)
{
    setColour(colour);
    Q_EMIT colourChosen(colour);
}

void ColorPickerButton::buildPopup()
{
    auto* menu = new QMenu(this);
    auto* panel = new QWidget(menu);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* defaultButton = new QPushButton(base::uiText("Default", "Default"), panel);
    connect(defaultButton, &QPushButton::clicked, this, [this, menu] {
        menu->close();
        choose(defaultColour());
    });
    layout->addWidget(defaultButton);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    int i = 0;
    for (QRgb rgb : kPalette) {
        const QColor c(rgb);
        auto* cell = new QToolButton(panel);
        cell->setIcon(swatch(c, QSize(14, 14)));
        cell->setAutoRaise(true);
        cell->setToolTip(c.name().toUpper());
        connect(cell, &QToolButton::clicked, this, [this, menu, c] {
            menu->close();
            choose(c);
        });
        grid->addWidget(cell, i / 8, i % 8);
        ++i;
    }
    layout->addLayout(grid);

    auto* other = new QPushButton(base::uiText("Other", "Other..."), panel);
    connect(other, &QPushButton::clicked, this, [this, menu] {
        menu->close();
        const QColor c = QColorDialog::getColor(m_colour, this);
        if (c.isValid())
            choose(c);
    });
    layout->addWidget(other);

    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(panel);
    menu->addAction(action);
    setMenu(menu);
}

}  // namespace measure
