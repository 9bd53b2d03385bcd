#include "display/renderer.h"

#include "app/report_error.h"
#include "display/surface_writer.h"
#include "field/field.h"

namespace glowfield {

RendererState renderer;

void setRenderTarget(SurfaceWriter* writer) {
    renderer.writer = writer;
}

uint32_t packedColourAt(int x, int y) {
    const int cell = cellAt(x, y);
    return static_cast<uint32_t>(levelOf(planes.red[cell])) |
           static_cast<uint32_t>(levelOf(planes.green[cell])) << 8 |
           static_cast<uint32_t>(levelOf(planes.blue[cell])) << 16;
}

void renderField() {
    SurfaceWriter* writer = renderer.writer;
    if (!writer) {
        return;
    }
    ResultCode code = writer->lock(nullptr, true);
    if (code != result::ok) {
        // The surface keeps what it showed; the next frame tries again.
        reportError("Lock failed.", code);
        return;
    }
    writer->rewind();
    // 600 lines of 200 blocks of 4 pixels; a surface smaller than 800 x 600 gets only what fits.
    const int height = writer->height();
    const int blockColumns = writer->width() / 4;
    const int lines = height < 600 ? height : 600;
    const int columns = blockColumns < 200 ? blockColumns : 200;
    const int cellHeight = field.cellHeight > 0 ? field.cellHeight : 1;
    for (int line = 0; line < lines; ++line) {
        const int y = line / cellHeight;
        for (int x = 0; x < columns; ++x) {
            renderer.lastColour = y < planeStride ? packedColourAt(x, y) : 0;
            writer->storePixel(renderer.lastColour);
            writer->storePixel(renderer.lastColour);
            writer->storePixel(renderer.lastColour);
            writer->storePixel(renderer.lastColour);
        }
        writer->nextLine();
    }
    code = writer->unlock();
    if (code != result::ok) {
        reportError("Unlock failed.", code);
    }
}

} // namespace glowfield
