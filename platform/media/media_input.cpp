#include "platform/media/media_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/file_system.h"

namespace platform::media {

namespace {

constexpr int kIoBufferBytes = 32768;
// Opening looks at no more than this much of a file, for no longer than
// this much stream time, before it decides what the streams are.
constexpr int64_t kProbeBytes = 4 << 20;
constexpr int64_t kAnalyzeMicroseconds = 5 * 1000000;

void LogToDebugOutput(void* avcl, int level, const char* format, va_list args) {
  if (level > AV_LOG_ERROR) return;
  char line[1024];
  int prefix = 1;
  va_list copy;
  va_copy(copy, args);
  av_log_format_line(avcl, level, format, copy, line, sizeof line, &prefix);
  va_end(copy);
  std::string text = "kesto: media: ";
  text += line;
  platform::DebugOutput(text.c_str());
}

}  // namespace

void RouteMediaLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_callback(LogToDebugOutput); });
}

int64_t StreamTimeOf(const AVStream* stream, int64_t timestamp, int64_t fallback) {
  if (timestamp == AV_NOPTS_VALUE || stream == nullptr) return fallback;
  int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  return av_rescale_q(timestamp - start, stream->time_base, AVRational{1, 10000000});
}

// Where the demuxer's bytes come from: a memory block or a file descriptor.
struct MediaInput::Source {
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  int64_t position = 0;
  int fd = -1;
  int64_t file_size = -1;
  AVIOContext* io = nullptr;

  ~Source() {
    if (io != nullptr) {
      av_freep(&io->buffer);
      avio_context_free(&io);
    }
    if (fd >= 0) platform::CloseFile(fd);
  }

  static int Read(void* opaque, uint8_t* buffer, int size) {
    auto* s = static_cast<Source*>(opaque);
    if (s->bytes) {
      const int64_t left = static_cast<int64_t>(s->bytes->size()) - s->position;
      if (left <= 0) return AVERROR_EOF;
      const int n = static_cast<int>(std::min<int64_t>(left, size));
      std::memcpy(buffer, s->bytes->data() + s->position, static_cast<size_t>(n));
      s->position += n;
      return n;
    }
    const int64_t n = platform::ReadFileBytes(s->fd, buffer, static_cast<size_t>(size));
    if (n < 0) return AVERROR(EIO);
    if (n == 0) return AVERROR_EOF;
    s->position += n;
    return static_cast<int>(n);
  }

  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* s = static_cast<Source*>(opaque);
    const int64_t size = s->bytes ? static_cast<int64_t>(s->bytes->size()) : s->file_size;
    if (whence & AVSEEK_SIZE) return size >= 0 ? size : AVERROR(ENOSYS);
    whence &= ~AVSEEK_FORCE;
    int64_t target = 0;
    switch (whence) {
      case SEEK_SET:
        target = offset;
        break;
      case SEEK_CUR:
        target = s->position + offset;
        break;
      case SEEK_END:
        if (size < 0) return AVERROR(ENOSYS);
        target = size + offset;
        break;
      default:
        return AVERROR(EINVAL);
    }
    if (target < 0) return AVERROR(EINVAL);
    if (!s->bytes && !platform::SeekFileTo(s->fd, target)) return AVERROR(EIO);
    s->position = target;
    return target;
  }
};

MediaInput::~MediaInput() {
  if (format_ != nullptr) avformat_close_input(&format_);
}

std::unique_ptr<MediaInput> MediaInput::OpenFile(const char* path, std::string* why) {
  RouteMediaLibraryLog();
  std::unique_ptr<MediaInput> input(new MediaInput());
  input->source_ = std::make_unique<Source>();
  input->source_->fd = path != nullptr ? platform::OpenFileForRead(path) : -1;
  if (input->source_->fd < 0) {
    if (why) *why = path == nullptr ? "no file name" : platform::FileErrorText(errno);
    return nullptr;
  }
  input->source_->file_size = platform::FileSizeOf(input->source_->fd);
  if (!input->Open(why)) return nullptr;
  return input;
}

std::unique_ptr<MediaInput> MediaInput::OpenMemory(
    std::shared_ptr<const std::vector<uint8_t>> bytes, std::string* why) {
  RouteMediaLibraryLog();
  if (!bytes) return nullptr;
  std::unique_ptr<MediaInput> input(new MediaInput());
  input->source_ = std::make_unique<Source>();
  input->source_->bytes = std::move(bytes);
  if (!input->Open(why)) return nullptr;
  return input;
}

bool MediaInput::Open(std::string* why) {
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
  if (buffer == nullptr) return false;
  source_->io = avio_alloc_context(buffer, kIoBufferBytes, 0, source_.get(), &Source::Read, nullptr,
                                   &Source::Seek);
  if (source_->io == nullptr) {
    av_free(buffer);
    return false;
  }
  format_ = avformat_alloc_context();
  if (format_ == nullptr) return false;
  format_->pb = source_->io;
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  format_->probesize = kProbeBytes;
  format_->max_analyze_duration = kAnalyzeMicroseconds;
  format_->format_probesize = 1 << 20;
  // Only local, plain demuxing: no protocol may open another file or a
  // network address named inside a playlist or a reference.
  format_->protocol_whitelist = av_strdup("none");
  int r = avformat_open_input(&format_, nullptr, nullptr, nullptr);
  if (r < 0) {
    // avformat_open_input frees the context on failure.
    format_ = nullptr;
    if (why) *why = "not a media file the demuxers know";
    return false;
  }
  r = avformat_find_stream_info(format_, nullptr);
  if (r < 0) {
    if (why) *why = "its streams cannot be read";
    return false;
  }
  return true;
}

int MediaInput::BestStream(int media_type) const {
  const int i =
      av_find_best_stream(format_, static_cast<AVMediaType>(media_type), -1, -1, nullptr, 0);
  return i >= 0 ? i : -1;
}

AVCodecContext* MediaInput::OpenDecoder(int stream_index, std::string* why) const {
  if (stream_index < 0 || static_cast<unsigned>(stream_index) >= format_->nb_streams)
    return nullptr;
  const AVStream* stream = format_->streams[stream_index];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (codec == nullptr) {
    if (why) *why = "no decoder for its codec";
    return nullptr;
  }
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (context == nullptr) return nullptr;
  if (avcodec_parameters_to_context(context, stream->codecpar) < 0) {
    avcodec_free_context(&context);
    return nullptr;
  }
  context->thread_count = 1;
  context->max_pixels = static_cast<int64_t>(kMaxFrameSide) * kMaxFrameSide;
  context->pkt_timebase = stream->time_base;
  if (avcodec_open2(context, codec, nullptr) < 0) {
    if (why) *why = "its decoder refuses the stream";
    avcodec_free_context(&context);
    return nullptr;
  }
  return context;
}

std::string ProbedFormatName(const uint8_t* data, size_t size) {
  RouteMediaLibraryLog();
  const size_t n = std::min<size_t>(size, 1 << 20);
  std::vector<uint8_t> padded(n + AVPROBE_PADDING_SIZE, 0);
  if (n > 0) std::memcpy(padded.data(), data, n);
  AVProbeData probe{};
  probe.filename = "";
  probe.buf = padded.data();
  probe.buf_size = static_cast<int>(n);
  const AVInputFormat* format = av_probe_input_format(&probe, 1);
  return format != nullptr && format->name != nullptr ? format->name : "";
}

std::string MediaInput::FormatName() const {
  return format_ != nullptr && format_->iformat != nullptr ? format_->iformat->name : "";
}

}  // namespace platform::media
