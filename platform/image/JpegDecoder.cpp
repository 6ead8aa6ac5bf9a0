#include "platform/image/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace sarn {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; it jumps back to
// the setjmp of the step that was running. Each step is a function with only trivially
// destructible locals, so the jump skips no destructor, and the caller turns the failure into an
// exception outside the C frames.
struct Decoder {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX]{};
    bool created = false;

    ~Decoder() {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
};

void ExitWithError(j_common_ptr info) {
    auto* decoder = static_cast<Decoder*>(info->client_data);
    (*info->err->format_message)(info, decoder->message);
    std::longjmp(decoder->jump, 1);
}

// Warnings (extra bytes, a premature end that libjpeg pads) still give a picture.
void IgnoreMessage(j_common_ptr) {}

bool Start(Decoder& decoder, const QByteArray& data) {
    decoder.info.err = jpeg_std_error(&decoder.errors);
    decoder.errors.error_exit = ExitWithError;
    decoder.errors.output_message = IgnoreMessage;
    decoder.info.client_data = &decoder;
    if (setjmp(decoder.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    jpeg_mem_src(&decoder.info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder.info, TRUE);
    decoder.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder.info);
    return true;
}

bool ReadRows(Decoder& decoder, unsigned char* bits, qsizetype bytesPerLine) {
    if (setjmp(decoder.jump) != 0) {
        return false;
    }
    while (decoder.info.output_scanline < decoder.info.output_height) {
        JSAMPROW row = bits + static_cast<qsizetype>(decoder.info.output_scanline) * bytesPerLine;
        jpeg_read_scanlines(&decoder.info, &row, 1);
    }
    jpeg_finish_decompress(&decoder.info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) {
        throw JpegError(QStringLiteral("Empty JPEG stream"));
    }
    Decoder decoder;
    if (!Start(decoder, data)) {
        throw JpegError(QString::fromLocal8Bit(decoder.message));
    }
    QImage image(static_cast<int>(decoder.info.output_width),
                 static_cast<int>(decoder.info.output_height), QImage::Format_RGB888);
    if (image.isNull() || decoder.info.output_components != 3) {
        throw JpegError(QStringLiteral("Unsupported JPEG picture"));
    }
    if (!ReadRows(decoder, image.bits(), image.bytesPerLine())) {
        throw JpegError(QString::fromLocal8Bit(decoder.message));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace sarn
