// A media file opened for FFmpeg's demuxers: read from memory (a file read
// whole beforehand) or streamed from a regular file, with probing bounded so
// that a hostile or endless input cannot make opening read or take without
// end. Also the limits every decoder here keeps to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;

namespace platform::media {

// No picture larger than this on either side is decoded: a movie frame
// becomes a graphic, whose sides are 16-bit, and a 4096 x 4096 frame of 32
// bits is already 64 MB.
inline constexpr int kMaxFrameSide = 4096;
// Audio the mixer can be fed from.
inline constexpr int kMaxChannels = 8;
inline constexpr int kMaxSampleRate = 384000;
// Packets a decoder may read for one frame before the stream counts as
// ended: a stream that keeps giving packets and never a frame is damaged.
inline constexpr int kMaxPacketsPerFrame = 2048;

// Units of stream time: 100 ns.
inline constexpr int64_t kTimeUnitsPerSecond = 10000000;

class MediaInput {
 public:
  ~MediaInput();
  MediaInput(const MediaInput&) = delete;
  MediaInput& operator=(const MediaInput&) = delete;

  // Streams a regular file (the path in the library's Windows form or a
  // native one). Null, with the reason in *why, when it cannot be opened or
  // no demuxer recognises it.
  static std::unique_ptr<MediaInput> OpenFile(const char* path, std::string* why);
  // Demuxes bytes held in memory; the bytes are shared, not copied.
  static std::unique_ptr<MediaInput> OpenMemory(std::shared_ptr<const std::vector<uint8_t>> bytes,
                                                std::string* why);

  AVFormatContext* format() const { return format_; }
  // The best stream of a kind (AVMEDIA_TYPE_*), or -1.
  int BestStream(int media_type) const;
  // A decoder opened on a stream, single-threaded and bounded in picture
  // size; null when the stream's codec cannot be decoded here.
  AVCodecContext* OpenDecoder(int stream_index, std::string* why) const;
  // The demuxer's guess of the container's name ("mp3", "ogg", ...).
  std::string FormatName() const;

 private:
  struct Source;
  MediaInput() = default;
  bool Open(std::string* why);

  std::unique_ptr<Source> source_;
  AVFormatContext* format_ = nullptr;
};

// The name of the demuxer FFmpeg's probe picks for these bytes (at most
// their first megabyte is looked at), or "" when none.
std::string ProbedFormatName(const uint8_t* data, size_t size);

// What FFmpeg logs goes to the debugger output (platform::DebugOutput), not
// to stderr; installed once by every opener.
void RouteMediaLibraryLog();

// Stream time of a stream timestamp, in 100 ns units; `fallback` when the
// timestamp is unknown.
int64_t StreamTimeOf(const AVStream* stream, int64_t timestamp, int64_t fallback);

}  // namespace platform::media
