#include "PicturePrinting.h"

#include "picture/core/cx_image.h"
#include "picture/core/picture_operations.h"
#include "picture/core/print_pic_data.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace picture {

namespace {

QImage readPicture(const QString& path)
{
    CxImage image;
    const uint32_t format = formatOfPath(path);
    if (format == CXIMAGE_FORMAT_UNKNOWN || !image.Load(path.toStdString(), format))
        return {};
    return image.ToQImage();
}

}  // namespace

void printFittedPicture(QPrinter& printer, const QImage& picture)
{
    printer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter p(&printer);
    const QRect page = p.viewport();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.left() + (page.width() - fitted.width()) / 2, page.top() + (page.height() - fitted.height()) / 2,
                       fitted.width(), fitted.height());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, picture);
}

void printAsShown(QPrinter& printer, const QImage& shown, double screenDpi)
{
    QPainter p(&printer);
    const double scale = screenDpi > 0 ? printer.resolution() / screenDpi : 1.0;
    p.scale(scale, scale);
    p.drawImage(QPoint(0, 0), shown);
}

bool printDroppedPicture(const QByteArray& dropBlock, QPrinter& printer)
{
    const QByteArray path = CPrintPicData::pathOf(dropBlock);
    const QImage picture = path.isEmpty() ? QImage() : readPicture(QString::fromLocal8Bit(path));
    if (picture.isNull())
        return false;
    printFittedPicture(printer, picture);
    return true;
}

bool printPictureFile(const QString& path, QWidget* parent)
{
    if (path.isEmpty())
        return false;
    QByteArray block;
    const CPrintPicData data(path.toLocal8Bit());
    if (data.GetData(CPrintPicData::kFormatDropFiles, CPrintPicData::kAspectContent, CPrintPicData::kMediumGlobal, block)
        != CPrintPicData::Ok)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return printDroppedPicture(block, printer);
}

}  // namespace picture
