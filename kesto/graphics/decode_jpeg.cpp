// JPEG through libjpeg: a source manager over the image stream, errors that
// jump back here, the library's messages in the log. Between setjmp and the
// library calls this file keeps only plain data, so a jump skips no
// destructor; the pixel buffer is freed on the way out.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <utility>

#include <jpeglib.h>
#include <jerror.h>

#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {

constexpr size_t kSourceBufferBytes = 4096;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

struct StreamSource {
  jpeg_source_mgr pub;
  ImageStream* stream;
  int64_t size;
  bool start_of_file;
  JOCTET buffer[kSourceBufferBytes];
};

void OutputMessage(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  GfxLog("JPEG: %s\n", text);
}

void ErrorExit(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are logged once per image; trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  if (cinfo->err->num_warnings == 0) (*cinfo->err->output_message)(cinfo);
  ++cinfo->err->num_warnings;
}

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<StreamSource*>(cinfo->src)->start_of_file = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  StreamSource* src = reinterpret_cast<StreamSource*>(cinfo->src);
  const int64_t remaining = src->size - src->stream->Tell();
  size_t n = 0;
  if (remaining > 0) {
    n = src->stream->Read(src->buffer,
                          static_cast<size_t>(std::min<int64_t>(remaining, kSourceBufferBytes)));
  }
  if (n == 0) {
    if (src->start_of_file) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    // An end-of-image marker, so a truncated picture ends as a partial one.
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = n;
  src->start_of_file = false;
  return TRUE;
}

// Skips by seeking; a skip past the end leaves the stream at its end, where
// the next fill supplies one end-of-image marker (refilling marker by marker
// would take as many rounds as the skip is long).
void SkipInputData(j_decompress_ptr cinfo, long num_bytes) {
  if (num_bytes <= 0) return;
  StreamSource* src = reinterpret_cast<StreamSource*>(cinfo->src);
  const size_t skip = static_cast<size_t>(num_bytes);
  if (skip <= src->pub.bytes_in_buffer) {
    src->pub.next_input_byte += skip;
    src->pub.bytes_in_buffer -= skip;
    return;
  }
  const int64_t rest = static_cast<int64_t>(skip - src->pub.bytes_in_buffer);
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = src->buffer;
  const int64_t here = src->stream->Tell();
  src->stream->Seek(std::min(here + rest, src->size), 0);
}

void TermSource(j_decompress_ptr) {}

void InstallStreamSource(j_decompress_ptr cinfo, ImageStream* stream) {
  void* mem = (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT,
                                         sizeof(StreamSource));
  StreamSource* src = static_cast<StreamSource*>(mem);
  src->pub.init_source = InitSource;
  src->pub.fill_input_buffer = FillInputBuffer;
  src->pub.skip_input_data = SkipInputData;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = TermSource;
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = nullptr;
  src->stream = stream;
  const int64_t here = stream->Tell();
  src->size = stream->Size();
  stream->Seek(here, 0);
  src->start_of_file = true;
  cinfo->src = &src->pub;
}

// Everything that must survive a jump back lives here, outside the frame
// that calls setjmp.
struct JpegJob {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  uint8_t* pixels;
};

int Decode(ImageStream& stream, ImageRecord* image, JpegJob* job) {
  jpeg_decompress_struct* cinfo = &job->cinfo;
  cinfo->err = jpeg_std_error(&job->err.pub);
  job->err.pub.error_exit = ErrorExit;
  job->err.pub.output_message = OutputMessage;
  job->err.pub.emit_message = EmitMessage;
  if (setjmp(job->err.jump)) {
    jpeg_destroy_decompress(cinfo);
    FreeImagePixels(job->pixels);
    job->pixels = nullptr;
    return -1;
  }
  jpeg_create_decompress(cinfo);
  // Progressive pictures keep every coefficient; bound what they may take.
  cinfo->mem->max_memory_to_use = static_cast<long>(3 * kMaxImageBytes);
  InstallStreamSource(cinfo, &stream);
  jpeg_read_header(cinfo, TRUE);
  // One grey or three colour components only: CMYK has no layout here.
  if (cinfo->num_components != 1 && cinfo->num_components != 3) {
    jpeg_destroy_decompress(cinfo);
    return -1;
  }
  if (!ImageSizeAllowed(cinfo->image_width, cinfo->image_height,
                        static_cast<int64_t>(cinfo->image_width) * cinfo->num_components)) {
    jpeg_destroy_decompress(cinfo);
    return -1;
  }
#ifdef JCS_EXTENSIONS
  if (cinfo->num_components == 3) cinfo->out_color_space = JCS_EXT_BGR;
#else
  if (cinfo->num_components == 3) cinfo->out_color_space = JCS_RGB;
#endif
  if (cinfo->num_components == 1) cinfo->out_color_space = JCS_GRAYSCALE;
  jpeg_start_decompress(cinfo);
  const int components = cinfo->output_components;
  const int64_t stride = static_cast<int64_t>(cinfo->output_width) * components;
  if ((components != 1 && components != 3) ||
      !ImageSizeAllowed(cinfo->output_width, cinfo->output_height, stride)) {
    jpeg_destroy_decompress(cinfo);
    return -1;
  }
  job->pixels = AllocImagePixels(static_cast<uint64_t>(stride) * cinfo->output_height, kClibSource);
  if (!job->pixels) {
    jpeg_destroy_decompress(cinfo);
    return -1;
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = job->pixels + static_cast<size_t>(stride) * cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;  // never suspends; guard anyway
#ifndef JCS_EXTENSIONS
    if (components == 3) {
      for (int64_t x = 0; x < stride; x += 3) std::swap(row[x], row[x + 2]);
    }
#endif
  }
  jpeg_finish_decompress(cinfo);
  image->width = static_cast<int>(cinfo->output_width);
  image->height = static_cast<int>(cinfo->output_height);
  image->pitch = static_cast<int>(stride);
  if (components == 1) {
    SetGreyImageFormat(&image->format.header);
  } else {
    SetRgb24ColorFormat(&image->format.header);
  }
  image->pixels = job->pixels;
  job->pixels = nullptr;
  jpeg_destroy_decompress(cinfo);
  return 0;
}

}  // namespace

int LoadJpegImage(ImageStream& stream, ImageRecord* image) {
  // Only data that starts like a JPEG reaches the library, so the other
  // formats tried after this loader leave no message behind.
  uint8_t start[2];
  if (!stream.ReadExact(start, 2) || start[0] != 0xFF || start[1] != 0xD8 || !stream.Seek(0, 0)) {
    return -1;
  }
  JpegJob* job = new JpegJob{};
  const int result = Decode(stream, image, job);
  delete job;
  return result;
}
