#pragma once

#include <QByteArray>

class QImage;

// The image as the bytes of a PNG file, to be saved the way every file of the program is.
QByteArray PngBytes(const QImage& image);
