// A saved picture in its window: opening, zooming, measuring and saving.
#include "picture/ui/CScoparaView.h"

#include "base/command_ids.h"
#include "measure/ui/CExportExcelDlg.h"
#include "measure/ui/CExportOptionDlg.h"
#include "measure/ui/CPitchDlg.h"
#include "measure/ui/ShapeHost.h"

#include "picture/core/picture_metadata.h"
#include "platform/posted_message.h"

#include "fake_view_host.h"
#include "file_dialog_answer.h"
#include "recording_opener.h"
#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

using namespace picture;

class PictureWindowTest : public QObject {
    Q_OBJECT

private:
    // A 200 x 150 picture, grey, written as `name` in the sandbox.
    QString writePicture(const QString& name, const char* format)
    {
        QImage img(200, 150, QImage::Format_RGB888);
        img.fill(QColor(90, 90, 90));
        const QString path = m_box->path() + QLatin1Char('/') + name;
        img.save(path, format);
        return path;
    }

    // Places a line with the line tool: its two ends, then the label's place.
    static void clickLine(CScoparaView& view, QPoint from, QPoint to, QPoint label)
    {
        for (const QPoint p : {from, to, label}) {
            QTest::mousePress(view.viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, p);
        }
    }

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<testing_support::Sandbox>();
        m_host = std::make_unique<testing_support::FakeHost>(m_box->path());
    }
    void cleanup()
    {
        m_host.reset();
        m_box.reset();
    }

    void opensByExtensionInAnyCase()
    {
        testing_support::ScriptedDialogs dialogs;
        std::unique_ptr<CScoparaView> bmp(CScoparaView::open(writePicture(QStringLiteral("a.BMP"), "BMP"), *m_host));
        QVERIFY(bmp);
        QCOMPARE(bmp->document().size(), QSize(200, 150));
        QCOMPARE(bmp->windowTitle(), QStringLiteral("a.BMP"));
        std::unique_ptr<CScoparaView> jpeg(CScoparaView::open(writePicture(QStringLiteral("b.JPEG"), "JPEG"), *m_host));
        QVERIFY(jpeg);
        QVERIFY(dialogs.messages.isEmpty());

        const QString broken = m_box->path() + QLatin1String("/broken.jpg");
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xFF\xD8\xFF\xE0 not a picture");
        f.close();
        QVERIFY(!CScoparaView::open(broken, *m_host));
        QVERIFY(!CScoparaView::open(writePicture(QStringLiteral("c.png"), "PNG"), *m_host));
        // Each failure names the file, and why where the decoder knows.
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.messages[0].contains(broken));
        QVERIFY(dialogs.messages[0].count(QLatin1Char('\n')) == 2);
        QVERIFY(dialogs.messages[1].contains(QLatin1String("c.png")));
        QVERIFY(dialogs.messages[1].contains(QLatin1String("unknown picture format")));
    }

    void zoomOutStopsAtATenthUntilNormal()
    {
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("a.bmp"), "BMP"), *m_host));
        view->runCommand(base::cmd::ZoomOut);
        QCOMPARE(view->zoom().x, 0.9);
        QCOMPARE(m_host->panes[1], QStringLiteral("W 90% : H 90%"));
        QCOMPARE(m_host->s.registry.m_zoon_ratio_x, 0.9);
        for (int i = 0; i < 10; ++i)
            view->runCommand(base::cmd::ZoomOut);
        QCOMPARE(view->zoom().x, 0.1);
        base::CommandState state;
        view->updateCommand(base::cmd::ZoomOut, state);
        QVERIFY(!state.enabled);
        view->runCommand(base::cmd::ZoomNormal);
        QCOMPARE(view->zoom().y, 1.0);
        QVERIFY(view->zoom().zoomOutAllowed);

        view->runCommand(base::cmd::ZoomIn);  // fits 200 x 150 into 1015 x 600 uniformly
        QCOMPARE(view->zoom().x, 4.0);
        QCOMPARE(view->zoom().y, 4.0);
        view->runCommand(base::cmd::ZoomIn);
        QCOMPARE(view->zoom().x, 1015.0 / 200.0);
        QCOMPARE(m_host->s.registry.m_zoon_ratio_x, 4.0);  // the stretch is not kept
    }

    void measuredLineIsSavedButNotTheCrosshair()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->m.calibrationName = QStringLiteral("10x");
        const QString path = writePicture(QStringLiteral("m.bmp"), "BMP");
        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->runCommand(base::cmd::ZoomNormal);
        view->runCommand(base::cmd::ToolLine);
        QCOMPARE(view->shapeHost().tool(), 108);
        for (const QPoint p : {QPoint(20, 100), QPoint(180, 100), QPoint(100, 130)}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, p);
        }
        QCOMPARE(view->document().shapes().size(), size_t(1));
        view->runCommand(base::cmd::Crosshair);
        QCOMPARE(view->overlay().mode, int(measure::OverlayCrosshair));
        QCOMPARE(m_host->crosshair, 1u);

        view->runCommand(base::cmd::FileSave);
        QCOMPARE(dialogs.messages.size(), 1);  // the question before the capture is replaced, answered yes
        const QImage saved(path);
        QCOMPARE(saved.size(), QSize(200, 150));
        QCOMPARE(QColor(saved.pixel(100, 100)), QColor(Qt::red));    // the line
        QCOMPARE(QColor(saved.pixel(50, 140)), QColor(90, 90, 90));  // no crosshair through (50, 240)...
        QCOMPARE(QColor(saved.pixel(160, 20)), QColor(90, 90, 90));
        // The length label goes with its show flag.
        QVERIFY(view->document().shapes().at(0).show[1]);
        view->shapeHost().toggleShowFlag(3);
        QVERIFY(!view->document().shapes().at(0).show[1]);
        view->runCommand(base::cmd::UndoShape);
        QCOMPARE(view->document().shapes().size(), size_t(0));
    }

    // A picture keeps the calibration it was taken with (here at twice its
    // size: 20 pixels per mm now): opened under another, the user is asked
    // once and a 160-pixel line measures 8 mm when the picture's is kept.
    void aPictureMeasuresWithTheCalibrationItWasTakenWith()
    {
        testing_support::ScriptedDialogs dialogs;
        const QString path = writePicture(QStringLiteral("taken.bmp"), "BMP");
        PictureMetadata taken;
        taken.scale = PictureScale{40.0, QStringLiteral("mm"), QStringLiteral("10x"), QSize(400, 300)};
        QVERIFY(writeSidecar(path, taken));
        const auto lineOf160 = [](CScoparaView& view) { return view.measureState().format(view.measureState().toUnits(160)); };

        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        QVERIFY(view->measuresWithPictureScale());
        QVERIFY(dialogs.messages.isEmpty());  // nothing active to choose from
        QCOMPARE(lineOf160(*view), QStringLiteral("8.000"));
        QVERIFY(m_host->statusMessages.last().contains(QLatin1String("10x")));

        m_host->m.calibrationName = QStringLiteral("40x");
        m_host->m.scalePixels = 4 * m_host->m.scalePixels;
        const QString active = m_host->m.format(m_host->m.toUnits(160));
        dialogs.answers = {false, true};
        view.reset(CScoparaView::open(path, *m_host));
        QVERIFY(!view->measuresWithPictureScale());
        QCOMPARE(lineOf160(*view), active);
        view.reset(CScoparaView::open(path, *m_host));
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(view->measuresWithPictureScale());
        QCOMPARE(lineOf160(*view), QStringLiteral("8.000"));
        m_host->m.setUnit(QStringLiteral("um"));
        QCOMPARE(lineOf160(*view), QStringLiteral("8000.000"));
    }

    // The window is larger than the picture: a line dragged past the
    // picture's edge ends on it, as on a live picture. Scrolled, the clicks
    // land on the picture pixels under them.
    void shapesStayOnThePictureWhereverTheMouseGoes()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->m.calibrationName = QStringLiteral("10x");
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("e.bmp"), "BMP"), *m_host));
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->runCommand(base::cmd::ZoomNormal);
        view->runCommand(base::cmd::ToolLine);
        for (const QPoint p : {QPoint(20, 100), QPoint(350, 250), QPoint(100, 130)}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, p);
        }
        QCOMPARE(view->document().shapes().size(), size_t(1));
        const measure::CShape& line = view->document().shapes().at(0);
        QCOMPARE(line.points[1].x, 199.0);
        QCOMPARE(line.points[1].y, 149.0);

        // In a smaller window, scrolled to the far corner.
        view->resize(150, 120);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        const QPoint scroll(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
        QVERIFY(scroll.x() > 0 && scroll.y() > 0);
        for (const QPoint p : {QPoint(10, 10), QPoint(60, 40), QPoint(30, 30)}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, p);
        }
        QCOMPARE(view->document().shapes().size(), size_t(2));
        const measure::CShape& scrolled = view->document().shapes().at(1);
        QCOMPARE(scrolled.points[0].x, double(10 + scroll.x()));
        QCOMPARE(scrolled.points[1].y, double(40 + scroll.y()));
    }

    void gridNeedsACalibrationAndAPitchAboveThreePixels()
    {
        testing_support::ScriptedDialogs dialogs;
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("g.bmp"), "BMP"), *m_host));
        view->runCommand(base::cmd::GridLines);
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("Please Calibrate first"));
        QCOMPARE(view->overlay().mode, int(measure::OverlayNone));

        // 60 pixels are 10 mm: 0.5 mm is 3 pixels (refused), 1 mm is 6.
        m_host->m.calibrationName = QStringLiteral("10x");
        const auto answerPitch = [](const QString& pitch) {
            QTimer::singleShot(0, [pitch] {
                auto* dialog = qobject_cast<measure::CPitchDlg*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->edit()->setText(pitch);
                dialog->accept();
            });
        };
        answerPitch(QStringLiteral("0.5"));
        view->runCommand(base::cmd::GridLines);
        QCOMPARE(view->overlay().mode, int(measure::OverlayNone));
        QCOMPARE(dialogs.messages.value(1), QStringLiteral("The length of the input is invalid"));
        answerPitch(QStringLiteral("1"));
        view->runCommand(base::cmd::CircleGrid);
        QCOMPARE(view->overlay().mode, int(measure::OverlayCircleGrid));
        QCOMPARE(view->overlay().spacing, 6);
        QCOMPARE(view->overlay().label, QStringLiteral("1mm"));
        // The rings go out to half the picture's width (16 x 6 < 100), past
        // half its height (75): the 16th crosses the middle row at x = 4.
        view->runCommand(base::cmd::ZoomNormal);
        const QImage rings = view->renderShown();
        QCOMPARE(QColor(rings.pixel(4, 75)), QColor(Qt::red));
        QCOMPARE(QColor(rings.pixel(1, 75)), QColor(90, 90, 90));
        // The window shows the same pixels, scrolled.
        view->resize(120 + view->verticalScrollBar()->sizeHint().width(), 90 + view->horizontalScrollBar()->sizeHint().height());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->horizontalScrollBar()->setValue(30);
        view->verticalScrollBar()->setValue(20);
        const QImage window = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect part(QPoint(30, 20), window.size());
        QCOMPARE(window, rings.copy(part).convertToFormat(QImage::Format_RGB32));
        view->runCommand(base::cmd::CircleGrid);  // again: off
        QCOMPARE(view->overlay().mode, int(measure::OverlayNone));
    }

    void colourOperationsRunAwayAndComeBackAsLoaded()
    {
        QImage img(40, 30, QImage::Format_RGB888);
        img.fill(QColor(200, 100, 50));
        const QString path = m_box->path() + QLatin1String("/c.bmp");
        QVERIFY(img.save(path, "BMP"));
        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        const auto colourAt = [&] { return QColor(view->document().display().pixel(5, 5)); };

        view->runCommand(base::cmd::RedChannel);
        QTRY_COMPARE(colourAt(), QColor(200, 200, 200));
        QCOMPARE(view->pictureOperation(), 1211);
        QCOMPARE(m_host->progress.last(), 100);
        view->runCommand(base::cmd::Negative);  // from the picture as loaded
        QTRY_COMPARE(colourAt(), QColor(55, 155, 205));
        view->runCommand(base::cmd::Negative);  // again: as loaded
        QCOMPARE(colourAt(), QColor(200, 100, 50));
        QCOMPARE(view->pictureOperation(), 0);
        QVERIFY(!view->operationRunning());

        view->runCommand(base::cmd::HorizontalFlip);
        view->finishOperation();
        QCOMPARE(view->pictureOperation(), 1210);
        QCOMPARE(view->document().display(), img.convertToFormat(view->document().display().format()).mirrored(true, false));
        view->runCommand(base::cmd::HorizontalFlip);
        view->finishOperation();
        QCOMPARE(view->pictureOperation(), 0);
        QTRY_COMPARE(m_host->progress.last(), -1);  // the progress bar goes away
    }

    void closingDuringAnOperationStopsIt()
    {
        QImage img(3000, 2000, QImage::Format_RGB888);
        img.fill(QColor(10, 200, 30));
        const QString path = m_box->path() + QLatin1String("/big.bmp");
        QVERIFY(img.save(path, "BMP"));
        for (const int command : {base::cmd::Negative, base::cmd::HorizontalFlip, base::cmd::BlueChannel}) {
            std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
            view->runCommand(command);
            QVERIFY(view->operationRunning());
            view.reset();  // closed at once: the worker stops, nothing is delivered to a dead window
            QCoreApplication::processEvents();
        }
        // And one left to finish reaches 100.
        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        view->runCommand(base::cmd::Negative);
        QTRY_VERIFY(!view->operationRunning());
        QCOMPARE(m_host->progress.last(), 100);
        QCOMPARE(view->document().display().pixelColor(0, 0), QColor(245, 55, 225));
    }

    void printsWhatItShowsAtItsZoom()
    {
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("s.bmp"), "BMP"), *m_host));
        view->runCommand(base::cmd::ZoomNormal);
        for (int i = 0; i < 5; ++i)
            view->runCommand(base::cmd::ZoomOut);
        QCOMPARE(view->zoom().x, 0.5);
        view->runCommand(base::cmd::Crosshair);
        const QImage shown = view->renderShown();
        QCOMPARE(shown.size(), QSize(100, 75));
        QCOMPARE(QColor(shown.pixel(10, 60)), QColor(90, 90, 90));
        // The crosshair at (320, 240) lies outside this small picture: nothing red.
        bool red = false;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                red = red || QColor(shown.pixel(x, y)) == QColor(Qt::red);
        QVERIFY(!red);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(40, 30));  // moves it to (80, 60)
        const QImage moved = view->renderShown();
        QCOMPARE(QColor(moved.pixel(40, 5)), QColor(Qt::red));
        QCOMPARE(QColor(moved.pixel(5, 30)), QColor(Qt::red));
    }

    void saveAsAndExportWithTheOptions()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->m.calibrationName = QStringLiteral("10x");
        const QString original = writePicture(QStringLiteral("e.bmp"), "BMP");
        PictureMetadata taken;
        taken.scale = PictureScale{40.0, QStringLiteral("um"), QStringLiteral("40x"), QSize(200, 150)};
        taken.camera = QStringLiteral("Scope");
        QVERIFY(writeSidecar(original, taken));
        std::unique_ptr<CScoparaView> view(CScoparaView::open(original, *m_host));
        view->resize(400, 300);
        view->runCommand(base::cmd::ZoomNormal);
        view->runCommand(base::cmd::ToolLine);
        for (const QPoint p : {QPoint(20, 100), QPoint(180, 100), QPoint(100, 130)}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, p);
        }
        view->runCommand(base::cmd::ToolLine);   // put away: a click moves the crosshair
        view->runCommand(base::cmd::Crosshair);  // centre (320, 240): outside, moved next
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(50, 50));

        const QString copy = m_box->path() + QLatin1String("/copy.jpg");
        QVERIFY(view->saveAs(copy));
        QCOMPARE(view->windowTitle(), QStringLiteral("copy.jpg"));
        QCOMPARE(view->document().path(), copy);
        QVERIFY(QImage(copy).size() == QSize(200, 150));
        // The copy carries the scale the picture was taken with, inside the JPEG.
        const auto inCopy = readPictureMetadata(copy);
        QVERIFY(inCopy && inCopy->scale);
        QCOMPARE(*inCopy->scale, *taken.scale);

        for (const bool imprint : {false, true}) {
            const QString path = m_box->path() + QLatin1String("/half.bmp");
            view->saveExport({2, imprint, 300}, path);
            CxImage half;
            QVERIFY(half.Load(path.toStdString(), CXIMAGE_FORMAT_BMP));
            QCOMPARE(int(half.GetWidth()), 100);
            QCOMPARE(half.GetXDPI(), 300);
            // At half the size, half the pixels make a micrometre.
            const auto halfScale = readSidecar(path);
            QVERIFY(halfScale && halfScale->scale);
            QCOMPARE(halfScale->scale->pixelsPerUnit, 20.0);
            QCOMPARE(halfScale->scale->size, QSize(100, 75));
            const QImage shown = half.ToQImage();
            QCOMPARE(QColor(shown.pixel(50, 50)) == QColor(Qt::red), imprint);  // the line at half size
            QCOMPARE(QColor(shown.pixel(25, 10)) == QColor(Qt::red), imprint);  // the crosshair's vertical
        }
        const QString bad = m_box->path() + QLatin1String("/x.png");
        view->saveExport({1, false, 96}, bad);
        QCOMPARE(dialogs.messages.size(), 2);  // which calibration to measure with, asked on opening, then the failure
        QVERIFY(dialogs.messages[1].contains(bad));
        QVERIFY(dialogs.messages[1].contains(QLatin1String("unknown picture format")));
        QCOMPARE(m_host->statusMessages.size(), 4);  // the picture's own calibration, the Save As and the two export saves
        QCOMPARE(m_host->statusMessages.last(),
                 QStringLiteral("Picture saved: half.bmp in %1").arg(QDir::toNativeSeparators(m_box->path())));
    }

    void saveAsGivesANameTypedWithoutExtensionTheChosenType()
    {
        testing_support::ScriptedDialogs dialogs;
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("cells.bmp"), "BMP"), *m_host));
        const QString typed = m_box->path() + QLatin1String("/copy");
        // The user chooses JPG files in the dialog, types a name and saves.
        testing_support::answerFileDialog(QStringLiteral("JPG Files (*.jpg *.JPG *.jpeg)"), typed, [](QFileDialog* dialog) {
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("BMP Files (*.bmp *.BMP)"));  // the picture's own type first
        });
        view->runCommand(base::cmd::FileSaveAs);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(view->document().path(), typed + QLatin1String(".jpg"));
        QCOMPARE(QImageReader(typed + QLatin1String(".jpg")).format(), QByteArray("jpeg"));
    }

    void saveAsksBeforeDrawingTheMeasurementsIntoTheCapture()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->m.calibrationName = QStringLiteral("10x");
        const QString path = writePicture(QStringLiteral("capture.bmp"), "BMP");
        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        view->resize(400, 300);
        view->runCommand(base::cmd::ZoomNormal);

        // Nothing measured: Save writes the same picture without a question.
        view->runCommand(base::cmd::FileSave);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(m_host->statusMessages.size(), 1);

        view->runCommand(base::cmd::ToolLine);
        const auto drawLine = [&](int y) { clickLine(*view, QPoint(20, y), QPoint(180, y), QPoint(100, y + 20)); };
        drawLine(100);
        QCOMPARE(view->document().shapes().size(), size_t(1));

        // No: the clean capture stays as it was.
        dialogs.answers = {false};
        view->runCommand(base::cmd::FileSave);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0], QStringLiteral("Replace the picture with the measured one? Save As keeps both."));
        QCOMPARE(QColor(QImage(path).pixel(100, 100)), QColor(90, 90, 90));

        // Yes, and do not ask again: replaced, and the next Save just saves.
        dialogs.answers = {true};
        dialogs.ticks = {true};
        view->runCommand(base::cmd::FileSave);
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(!dialogs.rememberTexts.last().isEmpty());
        QCOMPARE(QColor(QImage(path).pixel(100, 100)), QColor(Qt::red));
        QCOMPARE(m_host->statusMessages.last(),
                 QStringLiteral("Picture saved: capture.bmp in %1").arg(QDir::toNativeSeparators(m_box->path())));
        drawLine(40);
        view->runCommand(base::cmd::FileSave);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(QColor(QImage(path).pixel(100, 40)), QColor(Qt::red));

        // A session answer of no keeps every capture and says so.
        m_host->sessionAnswers().clear();
        dialogs.answers = {false};
        dialogs.ticks = {true};
        drawLine(130);
        view->runCommand(base::cmd::FileSave);
        const int saves = m_host->statusMessages.size();
        view->runCommand(base::cmd::FileSave);
        QCOMPARE(dialogs.messages.size(), 3);
        QCOMPARE(QColor(QImage(path).pixel(100, 130)), QColor(90, 90, 90));
        QCOMPARE(m_host->statusMessages.size(), saves + 1);
        QVERIFY(m_host->statusMessages.last().contains(QLatin1String("Save As")));
    }

    void exportDeleteRemovesTheChosenMeasurements()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->m.calibrationName = QStringLiteral("10x");  // 60 pixels are 10 mm
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("d.bmp"), "BMP"), *m_host));
        view->resize(400, 300);
        view->runCommand(base::cmd::ZoomNormal);
        view->runCommand(base::cmd::ToolLine);
        for (const auto& [y, end] : {std::pair{40, 80}, std::pair{100, 50}, std::pair{130, 110}})
            clickLine(*view, QPoint(20, y), QPoint(end, y), QPoint(50, y + 10));
        QCOMPARE(view->document().shapes().size(), size_t(3));

        bool deleted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<measure::CExportExcelDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto closeEvenOnFailure = qScopeGuard([dialog] { dialog->reject(); });
            QTableWidget* lines = dialog->page(0);
            lines->setSelectionMode(QAbstractItemView::MultiSelection);
            lines->selectRow(0);
            lines->selectRow(2);
            dialog->findChild<QPushButton*>(QStringLiteral("Delete"))->click();
            // The middle line is left, and is now the first.
            QCOMPARE(lines->rowCount(), 1);
            QCOMPARE(lines->item(0, 1)->text(), QStringLiteral("DL0"));
            QCOMPARE(lines->item(0, 2)->text(), QStringLiteral("5.000"));
            deleted = true;
        });
        view->runCommand(base::cmd::Export);
        QVERIFY(deleted);
        QCOMPARE(view->document().shapes().size(), size_t(1));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void exportListsHidesAndWritesTheWorkbook()
    {
        testing_support::ScriptedDialogs dialogs;
        testing_support::RecordingOpener opener;
        m_host->m.calibrationName = QStringLiteral("10x");
        std::unique_ptr<CScoparaView> view(CScoparaView::open(writePicture(QStringLiteral("x.bmp"), "BMP"), *m_host));
        view->resize(400, 300);
        view->runCommand(base::cmd::ZoomNormal);
        view->runCommand(base::cmd::ToolLine);
        for (const int y : {40, 100})
            clickLine(*view, QPoint(20, y), QPoint(80, y), QPoint(50, y + 10));
        QCOMPARE(view->document().shapes().size(), size_t(2));

        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<measure::CExportExcelDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTableWidget* lines = dialog->page(0);
            QCOMPARE(lines->rowCount(), 2);
            QCOMPARE(lines->item(1, 1)->text(), QStringLiteral("DL1"));
            QCOMPARE(lines->item(1, 2)->text(), QStringLiteral("10.000"));  // 60 pixels are 10 mm
            lines->item(1, 0)->setCheckState(Qt::Unchecked);                // hides the second line
            dialog->pages()->setCurrentIndex(1);
            QCOMPARE(dialog->page(1)->rowCount(), 0);
            // Export: the picture options, then the workbook.
            QTimer::singleShot(0, [] {
                auto* options = qobject_cast<measure::CExportOptionDlg*>(QApplication::activeModalWidget());
                QVERIFY(options);
                QCOMPARE(options->options().sizeOption, 1);
                options->findChild<QCheckBox*>()->setChecked(true);  // imprint
                options->accept();
            });
            dialog->findChild<QPushButton*>(QStringLiteral("Export"))->click();
            checked = true;
            dialog->reject();
        });
        view->runCommand(base::cmd::Export);
        QVERIFY(checked);
        QVERIFY(!view->document().shapes().at(1).visible);
        QCoreApplication::sendPostedEvents(view.get());

        const QString book = m_host->s.paths.saveRoot + QLatin1String("/tmpExcel.xls");
        QCOMPARE(opener.opened, QStringList{book});
        QCOMPARE(m_host->statusMessages.last(),
                 QStringLiteral("Workbook saved: tmpExcel.xls in %1").arg(QDir::toNativeSeparators(m_host->s.paths.saveRoot)));
        QFile f(book);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1"));
        const QImage picture(m_host->s.paths.saveRoot + QLatin1String("/tmpPic.bmp"));
        QCOMPARE(picture.size(), QSize(200, 150));
        QCOMPARE(QColor(picture.pixel(50, 40)), QColor(Qt::red));      // the shown line, imprinted
        QCOMPARE(QColor(picture.pixel(50, 100)), QColor(90, 90, 90));  // the hidden one is not
        QVERIFY(dialogs.messages.isEmpty());

        // Written, but the desktop has nothing to open it with: the user
        // learns where it is.
        opener.nothingToOpenWith = true;
        view->exportWorkbook({1, true, 96});
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].endsWith(QLatin1Char('\n') + book));
        dialogs.messages.clear();
        opener.opened.clear();
        opener.nothingToOpenWith = false;

        // A workbook that cannot be written is said.
        m_host->s.paths.saveRoot = m_box->path() + QLatin1String("/gone");
        view->exportWorkbook({1, true, 96});
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].contains(QLatin1String("tmpExcel.xls")));
        QCOMPARE(opener.opened.size(), 0);
    }

    void magnifierGetsTheBlockUnderTheMouse()
    {
        QImage img(200, 150, QImage::Format_RGB888);
        img.fill(QColor(10, 20, 30));
        img.setPixelColor(100, 75, QColor(250, 240, 230));
        const QString path = m_box->path() + QLatin1String("/mag.bmp");
        QVERIFY(img.save(path, "BMP"));
        std::unique_ptr<CScoparaView> view(CScoparaView::open(path, *m_host));
        view->resize(400, 300);
        view->runCommand(base::cmd::ZoomNormal);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        m_host->magnifier = 3;  // 30 x 30
        QTest::mouseMove(view->viewport(), QPoint(100, 75));
        // The block's centre pixel (row 15 from the top of 30, bottom-up rows of 92 bytes).
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_host->buffer.constData());
        const int stride = (30 * 3 + 3) / 4 * 4;
        const uint8_t* centre = bytes + (29 - 15) * stride + 15 * 3;
        QCOMPARE(int(centre[2]), 250);
        QCOMPARE(int(centre[0]), 230);
        QCOMPARE(int(bytes[0]), 30);
    }

private:
    std::unique_ptr<testing_support::Sandbox> m_box;
    std::unique_ptr<testing_support::FakeHost> m_host;
};

QTEST_MAIN(PictureWindowTest)
#include "picture_window_test.moc"
