// JPEG through libjpeg (API 62) from memory into RGB rows, then RGB565. libjpeg's fatal errors
// must not return to the library: the error exit jumps back to the setjmp below, and the
// decompressor, its rows and the surface are released from there. Everything that the jump
// may skip lives in a heap-held job.
#include "raster/DecodeJob.h"
#include "raster/ImageDecoder.h"
#include "raster/PixelConvert.h"

#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <new>

namespace {

// Progressive files may hold any number of scans, each a full pass over the image; a file
// with more than this many is refused rather than decoded for minutes.
constexpr int kMaxScans = 500;
// The passes also cost in proportion to the image: a few kilobytes of empty scans over a large
// frame would otherwise keep the decoder busy for seconds. Scans times pixels is bounded, which
// leaves 32 scans to the largest image and far more than any encoder writes to smaller ones.
constexpr uint64_t kMaxScanPixels = uint64_t(32) * kMaxImageSide * kMaxImageSide;

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

struct JpegJob
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool created = false;
    Surface* surface = nullptr;
    ImageHolder* holder = nullptr;
};

JpegJob* jobOf(j_common_ptr cinfo)
{
    return static_cast<JpegJob*>(cinfo->client_data);
}

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    std::longjmp(jobOf(cinfo)->jump, 1);
}

void outputMessage(j_common_ptr) {}

void resetErrors(j_common_ptr cinfo)
{
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

void initSource(j_decompress_ptr) {}

// The whole file is in the buffer from the start; asked for more, the source answers with an
// end-of-image marker, as many times as it is asked.
boolean fillInput(j_decompress_ptr cinfo)
{
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
        count -= static_cast<long>(src->bytes_in_buffer);
        fillInput(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

void onProgress(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    const uint64_t pixels = uint64_t(d->image_width) * d->image_height;
    if (d->input_scan_number > kMaxScans ||
        uint64_t(d->input_scan_number) * pixels > kMaxScanPixels)
        errorExit(cinfo);
}

void release(JpegJob* job)
{
    if (job->created)
        jpeg_destroy_decompress(&job->cinfo);
    delete job->surface;
    delete job->holder;
    delete job;
}

bool decode(JpegJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    jpeg_create_decompress(cinfo);
    job->created = true;
    cinfo->client_data = job;
    cinfo->progress = &job->progress;

    job->source.next_input_byte = job->data;
    job->source.bytes_in_buffer = job->size;
    job->source.init_source = initSource;
    job->source.fill_input_buffer = fillInput;
    job->source.skip_input_data = skipInput;
    job->source.resync_to_restart = jpeg_resync_to_restart;
    job->source.term_source = termSource;
    cinfo->src = &job->source;

    jpeg_read_header(cinfo, TRUE);
    if (cinfo->image_width == 0 || cinfo->image_height == 0 || cinfo->image_width > kMaxImageSide ||
        cinfo->image_height > kMaxImageSide)
        return false;
    cinfo->out_color_space = JCS_RGB;
    cinfo->scale_num = 1;
    cinfo->scale_denom = 1;
    cinfo->output_gamma = 1.0;
    cinfo->out_color_components = 3;
    jpeg_start_decompress(cinfo);
    const auto width = static_cast<int32_t>(cinfo->image_width);
    const auto height = static_cast<int32_t>(cinfo->image_height);
    if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height ||
        cinfo->output_components != 3)
        return false;

    job->surface = Surface::Create(width, height);
    if (!job->surface)
        return false;
    // Pool memory: freed with the decompressor, also after a jump.
    JSAMPARRAY rows = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                  JPOOL_IMAGE, cinfo->output_width * 3 + 1, 1);
    // One byte in: into a 16-byte aligned row libjpeg-turbo's SIMD colour conversion uses
    // streaming stores, and reading the row back at once then waits on memory (the decode
    // measured 2.4 times slower).
    JSAMPROW row = rows[0] + 1;
    while (cinfo->output_scanline < cinfo->output_height) {
        const auto y = static_cast<int32_t>(cinfo->output_scanline);
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            return false;
        Gfx::Internal::rgbRowTo565(row, job->surface->row(y), width);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

ImageHolder* DecodeJpeg(const uint8_t* data, size_t size)
{
    if (!data || size == 0)
        return nullptr;
    JpegJob* const job = new (std::nothrow) JpegJob();
    if (!job)
        return nullptr;
    job->data = data;
    job->size = size;
    job->holder = new (std::nothrow) ImageHolder;
    if (!job->holder) {
        release(job);
        return nullptr;
    }
    job->cinfo.err = jpeg_std_error(&job->errors);
    job->errors.error_exit = errorExit;
    job->errors.output_message = outputMessage;
    job->errors.reset_error_mgr = resetErrors;
    job->progress.progress_monitor = onProgress;
    // client_data must be set before the first call that can fail: jpeg_create_decompress
    // clears the structure but keeps err and client_data.
    job->cinfo.client_data = job;
    if (setjmp(job->jump)) {
        release(job);
        return nullptr;
    }
    return finishDecodeJob(job, decode(job));
}
