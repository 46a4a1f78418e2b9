#include "toolkit/jpegimage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "numeric/errors.h"

namespace velmora {

namespace {

struct Terrorhandler {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorexit(j_common_ptr info) {
    auto* handler = reinterpret_cast<Terrorhandler*>(info->err);
    (*info->err->format_message)(info, handler->message);
    std::longjmp(handler->jump, 1);
}

void quiet(j_common_ptr, int) {}

} // namespace

QByteArray jpegencode(const QImage& image, int quality) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        throw Eerror("Cannot make a JPEG of an empty picture");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    Terrorhandler handler{};
    info.err = jpeg_std_error(&handler.manager);
    handler.manager.error_exit = errorexit;
    handler.manager.emit_message = quiet;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    // Nothing with a destructor lives between setjmp and the longjmp back.
    if (setjmp(handler.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw Eerror(std::string("Cannot make a JPEG: ") + handler.message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

} // namespace velmora
