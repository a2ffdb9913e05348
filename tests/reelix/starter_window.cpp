// A window that takes the keyboard, as the one a clip is opened from, and
// says on its output each time it gains ("active") or loses ("inactive") it.
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [](QWindow* focus) {
        std::printf("%s\n", focus ? "active" : "inactive");
        std::fflush(stdout);
    });
    QWidget window;
    window.setWindowTitle(QStringLiteral("Starter"));
    window.resize(400, 300);
    window.show();
    window.activateWindow();
    return app.exec();
}
