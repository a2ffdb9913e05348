#pragma once

#include "base/app_settings.h"
#include "base/view_host.h"
#include "measure/core/measure_state.h"

#include <QDir>
#include <QObject>
#include <QStringList>

namespace testing_support {

// The main window as a picture or live window sees it, keeping what it was
// told. Its folders live under `root`.
class FakeHost : public base::ViewHost {
public:
    explicit FakeHost(const QString& root)
    {
        s.paths.programFolder = root + QLatin1String("/program");
        s.paths.saveRoot = root + QLatin1String("/save");
        s.paths.currentFolder = root + QLatin1String("/save/Default");
        s.paths.captureSound = QStringLiteral("Capture.wav");
        s.paths.startRecordSound = QStringLiteral("startRecord.wav");
        s.paths.stopRecordSound = QStringLiteral("stopRecord.wav");
        base::ensureCurrentFolderTree(s.paths);
        QDir().mkpath(s.paths.programFolder);
    }
    base::AppSettings& settings() override { return s; }
    measure::MeasureState& measure() override { return m; }
    bool saveRegistrySettings() override { return ++registrySaves > 0; }
    bool saveImageToggles() override { return ++toggleSaves > 0; }
    void writeCrosshair(quint32 value) override { crosshair = value; }
    void writeCameraModel(quint32 model) override { cameraModel = model; }
    void setPaneText(int pane, const QString& text, QColor) override { panes[pane] = text; }
    void showStatusMessage(const QString& text) override { statusMessages.append(text); }
    void showHint(const QString& text) override { hints.append(text); }
    void showProgress(int percent) override { progress.append(percent); }
    QSize fullScreenArea() const override { return {1000, 600}; }
    QObject* mainWindow() override { return &window; }
    void showResolutions(const QStringList& sizes) override { resolutions = sizes; }
    void bringToFront(QWidget* view) override { fronted = view; }
    int magnifierMode() const override { return magnifier; }
    QByteArray* magnifierBuffer() override { return &buffer; }
    QObject* magnifierWindow() override { return &window; }

    base::AppSettings s;
    measure::MeasureState m;
    int registrySaves = 0, toggleSaves = 0;
    quint32 crosshair = 99;
    quint32 cameraModel = 0;
    QString panes[4];
    QStringList statusMessages;
    QStringList hints;
    QObject window;
    QStringList resolutions;
    QWidget* fronted = nullptr;
    QList<int> progress;
    int magnifier = 0;
    QByteArray buffer = QByteArray(120000, '\0');
};

}  // namespace testing_support
