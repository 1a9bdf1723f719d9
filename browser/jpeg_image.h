#pragma once

#include <QByteArray>
#include <QImage>

namespace browser {

// Decodes JPEG bytes with libjpeg into an RGB image. Empty bytes give a null image; bytes that are
// not a readable JPEG are an error (std::runtime_error) that names what libjpeg found wrong.
QImage decodeJpeg(const QByteArray& bytes);

} // namespace browser
