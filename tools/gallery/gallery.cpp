// Renders the program's dialogs to PNG files, so they can be looked at
// without clicking through the program: vellumet_gallery <folder> [LANGUAGE]
// LANGUAGE is a locale name (de, ja, zh_TW ...); without it the texts are
// English.
#include "capture/core/frame_ops.h"
#include "capture/core/pixel_convert.h"
#include "capture/core/simulated_camera.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/CFileSizeDlg.h"
#include "capture/ui/CTimerDlg.h"
#include "capture/ui/CVideoSettingDlg.h"
#include "capture/ui/WifiMicroscope.h"
#include "wifi/core/wifi_camera.h"
#include "wifi/sim/simulated_wifi_camera.h"

#include "platform/posted_message.h"
#include "platform/registry.h"

#include "measure/core/measure_state.h"
#include "measure/core/shapes.h"

#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CExportExcelDlg.h"
#include "measure/ui/CExportOptionDlg.h"
#include "measure/ui/CMeasurementSettingDlg.h"
#include "measure/ui/CPitchDlg.h"
#include "measure/ui/ShapeCanvas.h"
#include "picture/ui/CScoparaView.h"
#include "picture/ui/PictureExportSource.h"

#include "base/command_ids.h"
#include "base/registry_settings.h"
#include "base/text_lookup.h"
#include "files/core/saved_folders.h"
#include "files/ui/CManageFolderDlg.h"
#include "files/ui/CNewFolderDlg.h"
#include "files/ui/CPropertiesWnd.h"
#include "files/ui/CPropertyFolderDlg.h"
#include "platform/language_choice.h"
#include "platform/standard_texts.h"
#include "reelix/core/vellumet_language.h"
#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CScoparaApp.h"
#include "shell/ui/CWarningDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

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

// Something like a stained sample under a stage micrometer.
QImage samplePicture()
{
    QImage img(1000, 700, QImage::Format_RGB32);
    QPainter p(&img);
    QRadialGradient light(500, 350, 600);
    light.setColorAt(0, QColor(0xf4, 0xe9, 0xdc));
    light.setColorAt(1, QColor(0xb8, 0xa8, 0x98));
    p.fillRect(img.rect(), light);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor(0x9c, 0x5b, 0x8a, 60 + (i * 37) % 80));
        p.drawEllipse(QPointF((i * 211) % 1000, (i * 137) % 700), 18 + (i * 13) % 30, 14 + (i * 7) % 25);
    }
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    for (int x = 100; x <= 900; x += 10)
        p.drawLine(x, 640, x, x % 50 == 0 ? 610 : 625);
    p.drawLine(100, 640, 900, 640);
    return img;
}

void placeEveryTool(measure::ShapeList& list)
{
    using namespace measure;
    const QSize picture(1000, 700);
    const auto add = [&](int tool, std::vector<QPoint> pts, const QString& text = {}) {
        auto s = makeShape(tool, Qt::red, Qt::red, text, picture, pts, 1, 1);
        s->inProgress = 0;
        list.append(std::move(s));
    };
    add(ToolLine, {{60, 60}, {260, 60}, {130, 70}});
    add(ToolContinualLine, {{320, 40}, {380, 120}, {440, 60}, {500, 130}, {}, {}, {}, {}, {}, {}, {520, 60}});
    add(ToolDotLine, {{640, 40}, {600, 160}, {820, 100}, {830, 30}});
    add(ToolPolygon, {{60, 200}, {200, 180}, {240, 300}, {100, 330}, {}, {}, {}, {}, {}, {}, {250, 200}});
    add(ToolRCircle, {{400, 260}, {460, 260}, {470, 200}});
    add(ToolCircle, {{560, 260}, {680, 260}, {690, 200}});
    add(ToolTPCircle, {{780, 220}, {860, 260}, {800, 320}, {880, 180}});
    add(ToolArc, {{60, 480}, {220, 480}, {140, 420}, {230, 410}});
    add(ToolTAngle, {{420, 400}, {460, 520}, {320, 500}, {470, 420}});
    add(ToolFAngle, {{520, 380}, {700, 440}, {520, 520}, {700, 470}, {720, 400}});
    add(ToolTCircle, {{760, 440}, {820, 440}, {880, 500}, {960, 500}, {860, 400}});
    add(ToolText, {{120, 560}}, QStringLiteral("Sample 7_stage micrometer 0.01 mm"));
}

}  // namespace

namespace {

// The language the gallery shows, and where its language files lie.
platform::LanguageIds g_language{9, 1};

QString languageFolder()
{
    return QCoreApplication::applicationDirPath();
}

}  // namespace

// The program in a throw-away home, its main window shown at 1400 x 860.
struct ScratchProgram {
    QTemporaryDir home;
    platform::Registry registry{home.filePath(QStringLiteral("registry.reg"))};
    shell::CScoparaApp app;
    shell::CMainFrame* frame = nullptr;

    explicit ScratchProgram(capture::CaptureBackend* cameras = nullptr) : app(registry, options(home, cameras))
    {
        QDir().mkpath(home.filePath(QStringLiteral("program")));
        const QString file = platform::chooseLanguageFile(languageFolder(), g_language.mainId, g_language.subId);
        QFile::copy(file, home.filePath(QStringLiteral("program/")) + QFileInfo(file).fileName());
        registry.setDword(base::kConfigKey, QStringLiteral("languagemainid"), g_language.mainId);
        registry.setDword(base::kConfigKey, QStringLiteral("languagesubid"), g_language.subId);
        app.InitInstance();
        frame = app.mainFrame();
        frame->resize(1400, 860);
        frame->show();
    }
    ~ScratchProgram()
    {
        frame->closeWithoutAsking();
        app.ExitInstance();
    }
    static shell::CScoparaApp::Options options(const QTemporaryDir& home, capture::CaptureBackend* cameras)
    {
        shell::CScoparaApp::Options o;
        o.cameras = cameras;
        o.environment = {home.filePath(QStringLiteral("program")), home.filePath(QStringLiteral("Vellumet")),
                         QLocale(QLocale::English)};
        o.keepAwake = false;
        o.showWindow = false;
        return o;
    }
};

// Lets the program run (frames arrive, windows paint) for `ms`.
void processEventsFor(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The whole main window with two simulated microscopes side by side, one
// zoomed out and one with the crosshair; the recording, property and timer
// dialogs of the first.
void liveWindows(const QString& folder)
{
    capture::SimulatedBackend microscopes(2);
    {
        ScratchProgram program(&microscopes);
        shell::CMainFrame& frame = *program.frame;
        capture::CDeviceView* one = frame.openUsbSlot(1);
        capture::CDeviceView* two = frame.openUsbSlot(2);
        two->runCommand(base::cmd::Crosshair);
        QList<QMdiSubWindow*> windows = frame.mdiArea()->subWindowList();
        const QRect area = frame.mdiArea()->viewport()->rect();
        for (int i = 0; i < windows.size(); ++i)
            windows[i]->setGeometry(area.width() * i / 2, 0, area.width() / 2, area.height());
        one->runCommand(base::cmd::ZoomOut);
        one->runCommand(base::cmd::ZoomOut);
        processEventsFor(1500);
        save(frame, folder, "two-live-windows");
        capture::CFileSizeDlg record(*one, frame);
        save(record, folder, "record-dialog");
        capture::CVideoSettingDlg properties(*one, &frame);
        save(properties, folder, "property-dialog");
        one->openTimer();
        save(*one->timerDialog(), folder, "timer-dialog");
        delete one->timerDialog();
    }
}

// Left clicks on a live window at points of its frame.
void clickFramePoints(capture::CDeviceView& view, std::initializer_list<QPointF> points)
{
    for (const QPointF at : points) {
        const QPointF local = view.mapping().mapToView(measure::Point2d{at.x(), at.y()});
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, local, view.viewport()->mapToGlobal(local), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &click);
        }
    }
}

// A calibration on the simulated microscope's micrometer: the reference line
// drawn along the ticks, the ticks found marked on the live picture, and the
// dialog with the divisions found and a division size typed.
void liveCalibration(const QString& folder)
{
    capture::SimulatedBackend microscopes(1);
    ScratchProgram program(&microscopes);
    shell::CMainFrame& frame = *program.frame;
    capture::CDeviceView* view = frame.openUsbSlot(1);
    if (!view)
        return;
    frame.mdiArea()->activeSubWindow()->showMaximized();
    processEventsFor(1500);
    view->newCalibration();
    auto* dialog = view->findChild<measure::CCalibrationDlg*>();
    if (!dialog)
        return;
    // Along the short ticks of a 640 x 480 frame, wherever the stage drifted.
    clickFramePoints(*view, {QPointF(92, 253), QPointF(560, 251)});
    processEventsFor(500);
    dialog->nameEdit()->setText(QStringLiteral("10x"));
    dialog->divisionEdit()->setText(QStringLiteral("0.01"));
    Q_EMIT dialog->divisionEdit()->textEdited(dialog->divisionEdit()->text());
    dialog->move(frame.geometry().topRight() - QPoint(dialog->width() + 40, -120));
    QApplication::processEvents();
    save(frame, folder, "calibration-ticks");
    const QRect ruler(view->mapping().mapToView(measure::Point2d{60, 200}).toPoint(), QSize(560, 90));
    const QString path = folder + QLatin1String("/calibration-ticks-close.png");
    view->viewport()->grab(ruler).scaled(ruler.size() * 2).save(path);
    std::printf("%s\n", qPrintable(path));
    save(*dialog, folder, "calibration-detected");
}

// The main window with the simulated WiFi microscope's window, calibrated,
// a line measured on it and the crosshair on; and its property dialog.
void wifiWindow(const QString& folder)
{
    wifi::SimulatedWifiCamera camera;
    if (!camera.start())
        return;
    wifi::CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.pagePort = camera.pagePort();
    address.streamPort = camera.streamPort();
    wifi::WifiCamera wifiCamera(address);  // outlives the program's window
    ScratchProgram program;
    shell::CMainFrame& frame = *program.frame;
    frame.wifiMicroscope().setCamera(&wifiCamera);
    QEventLoop looking;
    QObject::connect(&frame.wifiMicroscope(), &capture::WifiMicroscope::lookFinished, &looking, &QEventLoop::quit);
    QTimer::singleShot(15000, &looking, &QEventLoop::quit);
    frame.wifiMicroscope().connectCamera();
    looking.exec();
    if (!frame.wifiMicroscope().view())
        return;
    capture::CDeviceView* view = frame.wifiMicroscope().view();
    frame.mdiArea()->activeSubWindow()->showMaximized();
    processEventsFor(2000);
    // Calibrated on the micrometer (its divisions found along the line drawn
    // over the short ticks), then a line measured below it.
    view->newCalibration();
    if (auto* dialog = view->findChild<measure::CCalibrationDlg*>()) {
        clickFramePoints(*view, {QPointF(130, 382), QPointF(940, 382)});
        QApplication::processEvents();
        dialog->nameEdit()->setText(QStringLiteral("WiFi 10x"));
        dialog->divisionEdit()->setText(QStringLiteral("0.01"));
        Q_EMIT dialog->divisionEdit()->textEdited(dialog->divisionEdit()->text());
        dialog->okButton()->click();
    }
    view->runCommand(base::cmd::ToolLine);
    clickFramePoints(*view, {QPointF(330, 560), QPointF(700, 600), QPointF(520, 640)});
    view->runCommand(base::cmd::Crosshair);
    processEventsFor(500);  // the overlay comes with the next frames
    save(frame, folder, "wifi-window");
    capture::CVideoSettingDlg properties(*view, &frame);
    save(properties, folder, "wifi-property-dialog");
}

// The main window with a saved picture, measured with every tool, zoomed
// out one step, the crosshair on, and the File menu open over it.
void pictureWindow(const QString& folder)
{
    ScratchProgram program;
    shell::CMainFrame& frame = *program.frame;
    const QString path = program.home.filePath(QStringLiteral("sample 7.bmp"));
    samplePicture().save(path, "BMP");
    picture::CScoparaView* view = frame.openPicture(path);
    if (!view)
        return;
    placeEveryTool(view->document().shapes());
    view->runCommand(base::cmd::ZoomOut);
    view->runCommand(base::cmd::Crosshair);
    frame.mdiArea()->activeSubWindow()->setGeometry(frame.mdiArea()->viewport()->rect().adjusted(20, 10, -200, -10));
    QApplication::processEvents();
    save(frame, folder, "picture-window");
    measure::ExportSource source = picture::exportSource(*view);
    measure::CExportExcelDlg exportDialog(source, program.app.measure());
    exportDialog.pages()->setCurrentIndex(2);
    save(exportDialog, folder, "export-dialog");
    measure::CExportOptionDlg options(view->document().size(), {1, true, 96});
    save(options, folder, "export-options");
}

// The folder pane with a few folders, sorted by name, and the folder dialogs.
void savedFolders(const QString& folder)
{
    ScratchProgram program;
    base::AppSettings& settings = program.app.settings();
    files::SavedFolders folders(settings.paths, settings.savedFolderCount);
    const char* const made[][2] = {{"onion skin 10", "Stained with iodine."},
                                   {"onion skin 9", ""},
                                   {"Kidney slides", "Section 4, 40x.\nCompare with last week's."}};
    for (const auto& [name, note] : made)
        folders.create(settings.paths.saveRoot, QLatin1String(name), QString::fromUtf8(note));
    const QString pictures = settings.paths.currentPictureFolder();
    for (int i = 0; i < 3; ++i)
        samplePicture().save(pictures + QStringLiteral("/2024051809300%1.jpg").arg(i), "JPG");
    settings.toggles.sortFolders = 2;
    program.frame->folderManagerPane()->rebuild();
    QApplication::processEvents();
    save(*program.frame, folder, "folder-pane");
    files::CNewFolderDlg newFolder(settings, program.frame);
    save(newFolder, folder, "new-folder");
    files::CManageFolderDlg manager(settings, program.frame);
    save(manager, folder, "folder-manager");
    files::CPropertyFolderDlg property(settings.paths.currentFolder);
    save(property, folder, "folder-property");
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);
    if (argc > 2) {
        const QLocale locale(QString::fromLocal8Bit(argv[2]));
        g_language.mainId = platform::primaryLanguageIdOf(locale);
        g_language.subId = locale.script() == QLocale::TraditionalChineseScript ? 1 : 2;
    }
    base::setLanguageFile(platform::chooseLanguageFile(languageFolder(), g_language.mainId, g_language.subId));
    const auto qtTexts = platform::installStandardTexts(g_language.mainId, g_language.subId);

    measure::MeasureState state;
    state.knownLinePixels = 152;
    measure::CCalibrationDlg calibration(state, folder, nullptr);
    save(calibration, folder, "calibration");
    platform::postMessage(&calibration, platform::msg::KnownLineDrawn);
    QCoreApplication::sendPostedEvents(&calibration);
    save(calibration, folder, "calibration-line-taken");
    measure::CMeasurementSettingDlg settings(state);
    save(settings, folder, "measurement-settings");
    measure::CPitchDlg pitch(state.unit);
    save(pitch, folder, "pitch");
    shell::CWarningDlg warning(base::uiText("CloseTip", "Are you sure close?", base::kMessageCapacity),
                               shell::CWarningDlg::Buttons::OkCancel);
    save(warning, folder, "warning");
    shell::CWarningDlg replace(base::uiText("ReplaceMeasured", "Replace the picture with the measured one? Save As keeps both."),
                               shell::CWarningDlg::Buttons::OkCancel);
    replace.setRememberText(base::uiText("AskNoMore", "Do not ask again until Vellumet is closed"));
    save(replace, folder, "replace-measured");
    shell::CWarning2Dlg damaged(
        base::uiText("SettingsDamaged",
                     "The settings file %1 was damaged (%2). It was kept as %3, and the default settings are used.",
                     base::kMessageCapacity)
            .arg(QStringLiteral("/home/ada/.config/Vellumet/registry.reg"), QStringLiteral("line 41: unterminated key"),
                 QStringLiteral("/home/ada/.config/Vellumet/registry.reg.bad")));
    save(damaged, folder, "settings-damaged");
    shell::CAboutDlg about;
    save(about, folder, "about");

    state.scaleLength = measure::unitScaleLength(QStringLiteral("um"));
    state.unit = QStringLiteral("um");
    state.scalePixels = 100 * state.scaleLength / 500.0;  // 100 pixels are 0.5 mm
    state.calibrationName = QStringLiteral("10x");
    state.decimals = 1;
    state.fontSize = 15;
    measure::ShapeCanvas canvas(samplePicture(), state);
    placeEveryTool(canvas.shapes());
    const QString shapes = folder + QLatin1String("/shapes.png");
    canvas.render().save(shapes);
    std::printf("%s\n", qPrintable(shapes));

    // A frame of the simulated microscope, as the live view will decode it.
    capture::SimulatedCamera camera(capture::SimulatedCamera::Model::Model1, 1);
    camera.setFormat(1280, 1024, capture::FormatMJPG);
    std::vector<uint8_t> bytes;
    camera.capture(5, bytes);
    QImage live(1280, 1024, QImage::Format_BGR888);
    std::vector<uint8_t> rows(size_t(capture::rowStride(1280)) * 1024);
    capture::mjpegToBgr(bytes.data(), bytes.size(), {rows.data(), 1280, 1024, capture::rowStride(1280)});
    for (int y = 0; y < 1024; ++y)
        std::memcpy(live.scanLine(y), rows.data() + size_t(1023 - y) * capture::rowStride(1280), 1280 * 3);
    const QString simulated = folder + QLatin1String("/simulated-microscope.png");
    live.save(simulated);
    std::printf("%s\n", qPrintable(simulated));

    liveWindows(folder);
    liveCalibration(folder);
    wifiWindow(folder);
    pictureWindow(folder);
    savedFolders(folder);
    return 0;
}
