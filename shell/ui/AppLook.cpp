#include "AppLook.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace shell {

namespace {

// A palette built around a window colour, a base for lists and an accent.
QPalette tinted(QColor window, QColor base, QColor accent, QColor text = QColor(0x20, 0x20, 0x20))
{
    QPalette p(window);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window.lighter(104));
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::WindowText, text.lighter(300));
    p.setColor(QPalette::Disabled, QPalette::Text, text.lighter(300));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, text.lighter(300));
    return p;
}

QPalette dark()
{
    QPalette p = tinted(QColor(0x35, 0x37, 0x3b), QColor(0x25, 0x26, 0x29), QColor(0x2f, 0x80, 0xed), QColor(0xe8, 0xe8, 0xe8));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Link, QColor(0x6a, 0xb0, 0xff));
    return p;
}

const QString& systemStyleName()
{
    // The style the program started with, before any look replaced it.
    static const QString name = QApplication::style()->name();
    return name;
}

void setStyle(const QString& name, const QPalette& palette)
{
    if (QStyle* style = QStyleFactory::create(name))
        QApplication::setStyle(style);
    QApplication::setPalette(palette);
}

}  // namespace

void applyAppLook(int lookId)
{
    systemStyleName();
    const QString fusion = QStringLiteral("Fusion");
    switch (lookId) {
    case 205: setStyle(QStringLiteral("Windows"), tinted(QColor(0xd4, 0xd0, 0xc8), Qt::white, QColor(0x0a, 0x24, 0x6a))); break;
    case 206: setStyle(fusion, tinted(QColor(0xf2, 0xf2, 0xf2), Qt::white, QColor(0x31, 0x6a, 0xc5))); break;
    case 207: setStyle(systemStyleName(), QApplication::style()->standardPalette()); break;
    case 208: setStyle(fusion, tinted(QColor(0xd6, 0xe4, 0xf7), Qt::white, QColor(0x31, 0x6a, 0xc5))); break;
    case 209: setStyle(fusion, tinted(QColor(0xee, 0xed, 0xe5), Qt::white, QColor(0x3d, 0x7b, 0xc7))); break;
    case 210: setStyle(fusion, tinted(QColor(0xe9, 0xec, 0xf2), Qt::white, QColor(0x33, 0x99, 0xff))); break;
    case 216: setStyle(fusion, dark()); break;
    case 217: setStyle(fusion, tinted(QColor(0xe4, 0xe6, 0xea), Qt::white, QColor(0x6e, 0x82, 0x9b))); break;
    case 218: setStyle(fusion, tinted(QColor(0xdd, 0xef, 0xf2), Qt::white, QColor(0x00, 0x8b, 0x9c))); break;
    case 219: {
        QStyle* style = QStyleFactory::create(fusion);
        const QPalette p = style ? style->standardPalette() : QApplication::palette();
        delete style;
        setStyle(fusion, p);
        break;
    }
    case 215:
    default: setStyle(fusion, tinted(QColor(0xd5, 0xe3, 0xf4), Qt::white, QColor(0x2b, 0x5a, 0x9e))); break;
    }
}

}  // namespace shell
