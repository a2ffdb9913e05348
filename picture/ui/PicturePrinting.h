#pragma once

#include <QImage>
#include <QString>

class QPrinter;
class QWidget;

namespace picture {

// A picture on the printer's page: fitted to the printable area keeping its
// aspect, the page turned to landscape for a wide picture.
void printFittedPicture(QPrinter& printer, const QImage& picture);

// A window's picture as it shows it: one screen pixel at the screen's size on
// paper, from the top-left corner.
void printAsShown(QPrinter& printer, const QImage& shown, double screenDpi);

// Prints a picture file: it is handed over as a drop-file block, read back,
// and printed fitted to the page after the print dialog. True when the
// dialog was accepted and the picture could be read.
bool printPictureFile(const QString& path, QWidget* parent = nullptr);

// The drop side on its own: the picture named by the block, printed on
// `printer` without asking. False when the block names no readable picture.
bool printDroppedPicture(const QByteArray& dropBlock, QPrinter& printer);

}  // namespace picture
