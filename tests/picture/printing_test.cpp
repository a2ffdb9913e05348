// Handing a picture file to the printing, and printing what a window shows.
#include "picture/core/print_pic_data.h"
#include "picture/ui/PicturePrinting.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace picture;

class PrintingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dropFileBlockByteForByte()
    {
        const CPrintPicData data(QByteArray("/p/a.bmp"));
        QByteArray block;
        QCOMPARE(data.GetData(15, 1, 1, block), CPrintPicData::Ok);
        const QByteArray expected = QByteArray::fromHex(
                                        "14000000"
                                        "00000000"
                                        "00000000"
                                        "01000000"
                                        "00000000")
            + "/p/a.bmp" + QByteArray(2, '\0');
        QCOMPARE(block, expected);
        QCOMPARE(block.size(), 8 + 22);
        QCOMPARE(CPrintPicData::pathOf(block), QByteArray("/p/a.bmp"));
    }

    void wrongRequestsAnswerInTheirOrder()
    {
        const CPrintPicData data(QByteArray("x.jpg"));
        QByteArray block;
        QCOMPARE(data.GetData(2, 4, 2, block), CPrintPicData::WrongAspect);  // the aspect first
        QCOMPARE(data.GetData(2, 1, 2, block), CPrintPicData::WrongFormat);
        QCOMPARE(data.GetData(15, 1, 2, block), CPrintPicData::WrongMedium);
        QVERIFY(block.isEmpty());
        QVERIFY(CPrintPicData::pathOf(QByteArray("short")).isEmpty());
    }

    void droppedPictureIsPrintedFittedToThePage()
    {
        QTemporaryDir dir;
        QImage wide(400, 100, QImage::Format_RGB888);
        wide.fill(Qt::blue);
        const QString path = dir.filePath(QStringLiteral("wide.bmp"));
        QVERIFY(wide.save(path, "BMP"));
        QByteArray block;
        CPrintPicData(path.toLocal8Bit()).GetData(15, 1, 1, block);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        printer.setOutputFileName(pdf);
        QVERIFY(printDroppedPicture(block, printer));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(QFileInfo(pdf).size() > 500);

        CPrintPicData(dir.filePath(QStringLiteral("missing.bmp")).toLocal8Bit()).GetData(15, 1, 1, block);
        QVERIFY(!printDroppedPicture(block, printer));
        QVERIFY(!printPictureFile(QString()));
    }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
