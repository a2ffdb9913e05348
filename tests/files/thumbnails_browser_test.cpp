// The thumbnail browser as the user works it: modes, new pictures, choosing
// with Ctrl, deleting to the trash, opening, and the magnifier.
#include "files/browser/CThumbnailsFormView.h"
#include "files/browser/CThumbnailsFormViewEnlarged.h"
#include "files/browser/CThumbnailsFormViewView.h"

#include "files/core/thumbnail_geometry.h"

#include "base/app_paths.h"
#include "platform/posted_message.h"

#include "file_dialog_answer.h"
#include "recording_opener.h"
#include "sandbox.h"
#include "scripted_dialogs.h"
#include "thumbnail_testing.h"
#include "wait_for.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintEvent>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace files;
using testing_support::waitFor;
using thumbnail_testing::writePicture;

class ThumbnailsBrowserTest : public QObject {
    Q_OBJECT

private:
    QString pictures() const { return m_paths.currentPictureFolder(); }
    QString videos() const { return m_paths.currentVideoFolder(); }

    // The browser shown, its first listing done and every thumbnail made.
    std::unique_ptr<CThumbnailsFormView> makeBrowser()
    {
        auto browser = std::make_unique<CThumbnailsFormView>(m_paths, &m_buffer);
        browser->resize(300, 500);
        browser->show();
        settle(*browser);
        return browser;
    }
    void settle(CThumbnailsFormView& browser)
    {
        CThumbnailsFormViewView* list = browser.thumbnailList();
        QVERIFY(waitFor([list] { return !list->isBusy(); }));
        list->loader().waitForIdle();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    QPoint centreOf(CThumbnailsFormViewView* list, int row) const
    {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    // Answers the save dialog about to open as a user does: chooses the type
    // `type` in its list, types `path` and saves.
    // Where the viewport paints from now on.
    struct PaintedArea : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    };

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<testing_support::Sandbox>();
        m_paths.currentFolder = m_box->path() + QLatin1String("/SaveFile/Default");
        QDir().mkpath(pictures());
        QDir().mkpath(videos());
        QVERIFY(writePicture(pictures() + QLatin1String("/img1.jpg"), 200, 100, 1));
        QVERIFY(writePicture(pictures() + QLatin1String("/img2.bmp"), 100, 200, 2));
        QVERIFY(writePicture(pictures() + QLatin1String("/PIC.JPG"), 320, 240, 3));
        QVERIFY(writePicture(videos() + QLatin1String("/20240105103000.avi.bmp"), 160, 120, 4));
        testing_support::writeFile(videos() + QLatin1String("/20240105103000.avi"), "RIFF clip");
    }
    void cleanup() { m_box.reset(); }

    void switchingModesShowsTheOtherFolderButNotTheSameOneAgain()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        QCOMPARE(list->mode(), BrowserMode::Pictures);
        QCOMPARE(list->thumbnails().rowCount(), 3);
        QVERIFY(list->thumbnails().hasThumbnail(0));

        QSignalSpy listed(list, &CThumbnailsFormViewView::listed);
        platform::postMessage(browser.get(), platform::msg::ReloadListing, 1);
        QVERIFY(listed.wait());
        QCOMPARE(list->mode(), BrowserMode::Videos);
        QCOMPARE(list->shownFolder(), videos());
        QCOMPARE(list->thumbnails().rowCount(), 1);

        const int load = list->loader().currentLoad();
        platform::postMessage(list, platform::msg::ReloadListing, 1);
        QCoreApplication::processEvents();
        QCOMPARE(list->loader().currentLoad(), load);
        platform::postMessage(list, platform::msg::ReloadListing, 2);
        QVERIFY(listed.wait());
        QCOMPARE(list->loader().currentLoad(), load + 1);
    }

    void aRequestWhileTheFolderIsListedIsNotLost()
    {
        CThumbnailsFormView browser(m_paths, &m_buffer);
        CThumbnailsFormViewView* list = browser.thumbnailList();
        QVERIFY(list->isBusy());
        platform::postMessage(list, platform::msg::ReloadListing, 1);
        QVERIFY(waitFor([&] { return list->mode() == BrowserMode::Videos && !list->isBusy(); }));
        QCOMPARE(list->thumbnails().rowCount(), 1);
    }

    void aSavedPictureAddsOneThumbnail()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        const QString snap = pictures() + QLatin1String("/20240105103010.jpg");
        QVERIFY(writePicture(snap, 640, 480, 5));
        platform::postMessage(list, platform::msg::FileSaved, 0, 0, snap);
        QVERIFY(waitFor([&] { return list->thumbnails().rowCount() == 4; }));
        const int row = list->thumbnails().rowOf(snap);
        QCOMPARE(row, 3);
        QVERIFY(waitFor([&] { return list->thumbnails().hasThumbnail(row); }));

        // Told without the path, the browser finds what is new.
        const QString next = pictures() + QLatin1String("/20240105103011.jpg");
        QVERIFY(writePicture(next, 64, 48, 6));
        platform::postMessage(list, platform::msg::FileSaved, 0, 0);
        QVERIFY(waitFor([&] { return list->thumbnails().rowCount() == 5; }));

        // A clip's picture belongs to the videos, not shown now.
        platform::postMessage(list, platform::msg::FileSaved, 0, 1, videos() + QLatin1String("/20240105103000.avi.bmp"));
        QCoreApplication::processEvents();
        QCOMPARE(list->thumbnails().rowCount(), 5);
    }

    void aPictureWrittenAnewGetsItsNewThumbnail()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        const QString path = pictures() + QLatin1String("/img2.bmp");
        const int row = list->thumbnails().rowOf(path);
        const auto middle = [&] {
            const QImage fitted =
                list->thumbnails().data(list->thumbnails().index(row, 0), ThumbnailModel::FittedRole).value<QImage>();
            return fitted.isNull() ? QColor() : fitted.pixelColor(fitted.width() / 2, fitted.height() / 2);
        };
        QVERIFY(middle() != QColor(Qt::red));

        // Replaced as a picture window saves: written beside, renamed over it.
        QImage red(100, 200, QImage::Format_RGB32);
        red.fill(Qt::red);
        QSaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(red.save(&file, "BMP"));
        QVERIFY(file.commit());
        QVERIFY(waitFor([&] { return middle() == QColor(Qt::red); }));
        QCOMPARE(list->thumbnails().rowCount(), 3);
        QCOMPARE(list->thumbnails().rowOf(path), row);
    }

    void ctrlChoosesSeveralWithARedFrameAndAPlainClickEndsIt()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        QWidget* area = list->viewport();
        QTest::mouseClick(area, Qt::LeftButton, {}, centreOf(list, 0));
        QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, centreOf(list, 1));
        QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, centreOf(list, 2));
        const ThumbnailModel& model = list->thumbnails();
        QCOMPARE(model.chosen(), (QStringList{model.file(1).path, model.file(2).path}));
        QCOMPARE(list->pendingFile(), model.file(2).path);
        QVERIFY(!list->commandEnabled(CThumbnailsFormViewView::OpenCommand));
        QVERIFY(!list->commandEnabled(CThumbnailsFormViewView::PrintCommand));

        // The frame of a chosen tile is red on screen, the others grey.
        const QImage shot = area->grab().toImage();
        const auto framePixel = [&](int row) {
            const QRect r = list->visualRect(model.index(row, 0));
            return shot.pixelColor(r.x() + (r.width() - kThumbnailSide) / 2, r.y() + 4 + kThumbnailSide / 2);
        };
        QCOMPARE(framePixel(1), kChosenFrame);
        QCOMPARE(framePixel(2), kChosenFrame);
        QCOMPARE(framePixel(0), kThumbnailFrame);

        QTest::mouseClick(area, Qt::LeftButton, {}, centreOf(list, 0));
        QVERIFY(model.chosen().isEmpty());
        QCOMPARE(area->grab().toImage().pixelColor(list->visualRect(model.index(1, 0)).x()
                                                       + (list->visualRect(model.index(1, 0)).width() - kThumbnailSide) / 2,
                                                   list->visualRect(model.index(1, 0)).y() + 4 + kThumbnailSide / 2),
                 kThumbnailFrame);
    }

    void deleteMovesThePictureToTheTrash()
    {
        testing_support::ScriptedDialogs dialogs;
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        const int row = list->thumbnails().rowOf(pictures() + QLatin1String("/PIC.JPG"));
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, row));
        QCOMPARE(list->pendingFile(), pictures() + QLatin1String("/PIC.JPG"));
        list->runCommand(CThumbnailsFormViewView::DeleteCommand);
        QVERIFY(!QFileInfo::exists(pictures() + QLatin1String("/PIC.JPG")));
        const QString trash = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QLatin1String("/Trash/files/");
        QVERIFY(QFileInfo::exists(trash + QLatin1String("PIC.JPG")));
        QCOMPARE(list->thumbnails().rowCount(), 2);
        QCOMPARE(list->thumbnails().rowOf(pictures() + QLatin1String("/PIC.JPG")), -1);
        QVERIFY(list->pendingFile().isEmpty());
        QVERIFY(dialogs.messages.isEmpty());

        // A clip's picture takes its clip along.
        QSignalSpy listed(list, &CThumbnailsFormViewView::listed);
        platform::postMessage(list, platform::msg::ReloadListing, 1);
        QVERIFY(listed.wait());
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, 0));
        list->runCommand(CThumbnailsFormViewView::DeleteCommand);
        QVERIFY(QFileInfo::exists(trash + QLatin1String("20240105103000.avi")));
        QVERIFY(QFileInfo::exists(trash + QLatin1String("20240105103000.avi.bmp")));
        QCOMPARE(list->thumbnails().rowCount(), 0);
    }

    void doubleClickOpensTheFileByItsRealName()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        QSignalSpy pictureOpened(browser.get(), &CThumbnailsFormView::openPictureRequested);
        const int row = list->thumbnails().rowOf(pictures() + QLatin1String("/PIC.JPG"));
        QCOMPARE(list->thumbnails().data(list->thumbnails().index(row, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("pic.jpg"));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, row));
        QCOMPARE(pictureOpened.count(), 1);
        QCOMPARE(pictureOpened.at(0).at(0).toString(), pictures() + QLatin1String("/PIC.JPG"));
        QVERIFY(list->pendingFile().isEmpty());

        // A clip plays with the desktop's player when nobody else takes it.
        testing_support::RecordingOpener opener;
        QSignalSpy listed(list, &CThumbnailsFormViewView::listed);
        platform::postMessage(list, platform::msg::ReloadListing, 1);
        QVERIFY(listed.wait());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 0));
        QCOMPARE(opener.opened, QStringList{videos() + QLatin1String("/20240105103000.avi")});
    }

    void aNewThumbnailPaintsItsOwnTileOnly()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        ThumbnailModel& model = list->thumbnails();
        PaintedArea area;
        list->viewport()->installEventFilter(&area);
        QImage fitted(60, 30, QImage::Format_RGB32);
        fitted.fill(Qt::darkGreen);
        model.setThumbnail(model.file(1).path, fitted);
        QVERIFY(waitFor([&] { return !area.painted.isEmpty(); }));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        const QRect tile = list->visualRect(model.index(1, 0));
        QVERIFY2(tile.contains(area.painted.boundingRect()),
                 qPrintable(QStringLiteral("painted %1 x %2 for a tile of %3 x %4")
                                .arg(area.painted.boundingRect().width())
                                .arg(area.painted.boundingRect().height())
                                .arg(tile.width())
                                .arg(tile.height())));
    }

    void aLongNameKeepsToOneLineWhileItsTooltipShowsItWhole()
    {
        for (const QString& name : QDir(pictures()).entryList(QDir::Files))
            QVERIFY(QFile::remove(pictures() + QLatin1Char('/') + name));
        QVERIFY(writePicture(pictures() + QLatin1String("/20261209055423.bmp"), 200, 100, 1));
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        const QModelIndex index = list->thumbnails().index(0, 0);
        QCOMPARE(list->thumbnails().data(index, Qt::ToolTipRole).toString(), QStringLiteral("20261209055423.bmp"));

        // Text pixels in the line under the tile, none in the line below it.
        const QImage shot = list->viewport()->grab().toImage();
        const QRect item = list->visualRect(index);
        const int line = list->fontMetrics().height();
        const int textTop = item.y() + 4 + kThumbnailSide + 4;
        const QColor text = list->palette().color(QPalette::Text);
        const auto textPixels = [&](int top) {
            int n = 0;
            for (int y = top; y < std::min(top + line, shot.height()); ++y) {
                for (int x = item.left(); x <= item.right(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    n += std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) + std::abs(c.blue() - text.blue())
                        < 120;
                }
            }
            return n;
        };
        QVERIFY(textPixels(textTop) > 0);
        QCOMPARE(textPixels(textTop + line), 0);
    }

    void saveGivesANameTypedWithoutExtensionTheChosenType()
    {
        testing_support::ScriptedDialogs dialogs;
        auto browser = makeBrowser();
        CThumbnailsFormViewView* list = browser->thumbnailList();
        const QString source = pictures() + QLatin1String("/img2.bmp");
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, list->thumbnails().rowOf(source)));
        QCOMPARE(list->pendingFile(), source);

        // The dialog starts in the current picture folder with the picture's name.
        QString suggested;
        list->setSaveQuestions({[&](QWidget*, const QStringList&, const QString&, const QString& offered) {
                                    suggested = offered;
                                    return QString();
                                },
                                nullptr});
        list->runCommand(CThumbnailsFormViewView::SaveCommand);
        QCOMPARE(QFileInfo(suggested).absolutePath(), pictures());
        QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("img2"));

        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, centreOf(list, list->thumbnails().rowOf(source)));
        list->setSaveQuestions({nullptr, [](QWidget*, QSize, measure::PictureOptions&) { return true; }});
        const QString typed = m_box->path() + QLatin1String("/sample");
        testing_support::answerFileDialog(QStringLiteral("JPG Files (*.jpg *.JPG *.jpeg)"), typed);
        list->runCommand(CThumbnailsFormViewView::SaveCommand);
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.join(QLatin1Char('\n'))));
        QVERIFY(!QFileInfo::exists(typed + QLatin1String(".bmp")));
        QCOMPARE(QImageReader(typed + QLatin1String(".jpg")).format(), QByteArray("jpeg"));
    }

    void theMagnifierStepsThroughItsLevelsAndShowsTheSquare()
    {
        auto browser = makeBrowser();
        CThumbnailsFormViewEnlarged* magnifier = browser->magnifier();
        QCOMPARE(browser->magnifierLevel(), 1);
        QTest::mouseClick(magnifier, Qt::LeftButton);
        QCOMPARE(browser->magnifierLevel(), 2);
        QTest::mouseClick(magnifier, Qt::LeftButton);
        QCOMPARE(browser->magnifierLevel(), 3);
        QTest::mouseClick(magnifier, Qt::LeftButton);
        QCOMPARE(browser->magnifierLevel(), 1);
        QTest::mouseClick(magnifier, Qt::LeftButton);
        QTest::mouseClick(magnifier, Qt::RightButton);
        QCOMPARE(browser->magnifierLevel(), 1);

        // Level 3: a 30 x 30 square, bottom row first, as a picture window writes it.
        QTest::mouseClick(magnifier, Qt::LeftButton);
        QTest::mouseClick(magnifier, Qt::LeftButton);
        const int stride = (30 * 3 + 3) / 4 * 4;
        m_buffer.fill('\0');
        for (int x = 0; x < 30; ++x)
            m_buffer[x * 3 + 1] = char(255);  // the bottom row green
        platform::postMessage(browser.get(), platform::msg::MagnifierUpdated);
        QVERIFY(waitFor([&] { return magnifier->picture().size() == QSize(30, 30); }));
        QCOMPARE(magnifier->picture().pixelColor(5, 29), QColor(Qt::green));
        QCOMPARE(magnifier->picture().pixelColor(5, 0), QColor(Qt::black));
        Q_UNUSED(stride);

        // Written again after the message: the picture shown stays as it was.
        m_buffer.fill(char(255));
        QCOMPARE(magnifier->picture().pixelColor(5, 0), QColor(Qt::black));

        // A square handed over with the message, and the red cross over it.
        QImage square(50, 50, QImage::Format_RGB32);
        square.fill(Qt::blue);
        platform::postMessage(magnifier, platform::msg::MagnifierUpdated, 0, 0, square);
        QVERIFY(waitFor([&] { return magnifier->picture().size() == QSize(50, 50); }));
        // In a wide pane the square stays square, 80 x 80 in the middle.
        magnifier->resize(100, 80);
        const QImage shown = magnifier->grab().toImage();
        QCOMPARE(shown.pixelColor(10, 10), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(89, 70), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(10, 40), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(50, 10), QColor(Qt::red));
        const QColor beside = magnifier->palette().color(QPalette::Window);
        QCOMPARE(shown.pixelColor(5, 10), beside);
        QCOMPARE(shown.pixelColor(5, 40), beside);
        QCOMPARE(shown.pixelColor(94, 70), beside);
    }

private:
    std::unique_ptr<testing_support::Sandbox> m_box;
    base::AppPaths m_paths;
    QByteArray m_buffer = QByteArray(120000, '\0');
};

QTEST_MAIN(ThumbnailsBrowserTest)
#include "thumbnails_browser_test.moc"
