#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>

namespace files {

// A PNG of an RGB picture with text chunks, its pixels stored without
// compression: a thumbnail's noise hardly compresses, and deflating it would
// cost more than decoding the picture it stands for. Any PNG reader reads it.
// Empty for a null image.
QByteArray storedPng(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts);

}  // namespace files
