// Renders the program's dialogs to PNG files, so they can be looked at
// without clicking through the program: vellumet_gallery <folder>
#include "measure/core/measure_state.h"
#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CMeasurementSettingDlg.h"
#include "measure/ui/CPitchDlg.h"

#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CWarningDlg.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace {

void save(QWidget& w, const QString& folder, const char* name)
{
    w.show();
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QLatin1String(".png");
    w.grab().save(path);
    std::printf("%s\n", qPrintable(path));
    w.hide();
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);

    measure::MeasureState state;
    state.knownLinePixels = 152;
    measure::CCalibrationDlg calibration(state, folder, nullptr);
    save(calibration, folder, "calibration");
    measure::CMeasurementSettingDlg settings(state);
    save(settings, folder, "measurement-settings");
    measure::CPitchDlg pitch(state.unit);
    save(pitch, folder, "pitch");
    shell::CWarningDlg warning(QStringLiteral("Are you sure close?"), shell::CWarningDlg::Buttons::OkCancel);
    save(warning, folder, "warning");
    shell::CAboutDlg about;
    save(about, folder, "about");
    return 0;
}
