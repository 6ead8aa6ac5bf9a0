#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QImage>

namespace sarn {

// A JPEG stream that libjpeg refuses; the message is libjpeg's own.
class JpegError : public SarnError {
  public:
    using SarnError::SarnError;
};

// Decodes a whole JPEG file held in memory (colour or greyscale) into a 32-bit RGB image.
// Throws JpegError for a stream libjpeg cannot read.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace sarn
