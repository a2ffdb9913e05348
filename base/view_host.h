#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include <map>

class QObject;
class QWidget;

namespace measure {
struct MeasureState;
}

namespace base {

struct AppSettings;

// The side, in picture pixels, of the magnifier's square at level 1, 2 or 3.
constexpr int magnifierSide(int level)
{
    return level == 2 ? 50 : level == 3 ? 30 : 100;
}

// What a picture or live window needs from the main window around it: the
// settings, the status bar, the space it may fill and the resolution menu.
class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual AppSettings& settings() = 0;
    virtual measure::MeasureState& measure() = 0;
    // Write the settings back at once; false (already reported) on failure.
    virtual bool saveRegistrySettings() = 0;
    virtual bool saveImageToggles() = 0;
    virtual void writeCrosshair(quint32 value) = 0;
    // The camera model a live window's microscope shows, kept as "Camera".
    virtual void writeCameraModel(quint32 model) = 0;

    // Status bar panes 0 to 3; an invalid colour keeps the usual one.
    virtual void setPaneText(int pane, const QString& text, QColor colour = QColor()) = 0;
    // A message in the status bar for a few seconds: what just happened
    // (a picture saved, a clip started) and where the file went.
    virtual void showStatusMessage(const QString& text) = 0;
    // What the next click of a measuring tool does, shown until the next
    // hint; empty clears it.
    virtual void showHint(const QString& text) = 0;
    // A picture operation's progress in the status bar, 0 to 100; -1 hides it.
    virtual void showProgress(int percent) = 0;
    // The main window's client area less the docked panes and the status bar.
    virtual QSize fullScreenArea() const = 0;
    // The window told about saved pictures (1133) and calibration names (1155).
    virtual QObject* mainWindow() = 0;
    // The sizes the Resolution menu offers now ("1280X1024", ...), in table order.
    virtual void showResolutions(const QStringList& sizes) = 0;
    // The magnifier: its mode (0 off; 1, 2, 3 for blocks of 100, 50, 30
    // picture pixels), the shared buffer the block is copied into and the
    // window told (1138) when it changed.
    virtual int magnifierMode() const { return 0; }
    virtual QByteArray* magnifierBuffer() { return nullptr; }
    virtual QObject* magnifierWindow() { return nullptr; }
    // Brings the window holding `view` to the top.
    virtual void bringToFront(QWidget* view) = 0;
    // The stored crosshair switch that new windows start their overlay from.
    virtual quint32 readCrosshair() { return 0; }

    // The title of the window activated last, one for the whole main window:
    // a window coming to the top refills the Resolution menu and the status
    // bar only when this answers true (its title differs, ignoring case, from
    // the one remembered), and is then the one remembered.
    bool rememberActivation(const QString& title)
    {
        if (title.compare(m_lastActivation, Qt::CaseInsensitive) == 0)
            return false;
        m_lastActivation = title;
        return true;
    }
    // No window is active any more: the next one refills everything.
    void forgetActivation() { m_lastActivation.clear(); }

    // Answers the user asked to keep for the rest of the session, by question.
    std::map<QString, bool>& sessionAnswers() { return m_sessionAnswers; }

private:
    QString m_lastActivation;
    std::map<QString, bool> m_sessionAnswers;
};

}  // namespace base
