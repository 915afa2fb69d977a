#include "graphics/movies.h"

#include <cstdio>
#include <cstring>

#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/present.h"
#include "graphics/screen.h"
#include "platform/clock.h"

namespace media = platform::media;
using namespace platform::video;

namespace {

RecordTable<MovieRecord> g_movies(kMaxMovies, 0x1800);

constexpr int kPathBytes = 260;

int NowMs() { return static_cast<int>(platform::TimeGetTime()); }

// Releases every stream object of a record and forgets them.
void ReleaseStreamObjects(MovieRecord* m) {
  if (m->sample) m->sample->Release();
  if (m->sample_surface) m->sample_surface->Release();
  if (m->stream) m->stream->Release();
  m->sample = nullptr;
  m->sample_surface = nullptr;
  m->stream = nullptr;
  m->update_pending = 0;
}

void CloseFrameEvent(MovieRecord* m) {
  delete m->frame_event;
  m->frame_event = nullptr;
}

int Fail(MovieRecord* m, const char* message) {
  GfxLog("%s", message);
  ReleaseStreamObjects(m);
  CloseFrameEvent(m);
  return -1;
}

// The movie of a graphic, or null; *bad is set for a graphic or movie
// handle that is not valid.
MovieRecord* MovieOfGraphic(int graphic, bool* bad) {
  *bad = false;
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) {
    *bad = true;
    return nullptr;
  }
  if (g->movie == -1) return nullptr;
  MovieRecord* m = GetMovieRecord(g->movie);
  if (!m) *bad = true;
  return m;
}

int CopyFrame(MovieRecord* m, int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  return g->texture ? CopyMovieFrameToTextureParts(m, graphic)
                    : CopyMovieFrameToSurface2D(m, graphic);
}

void NoteCopied(MovieRecord* m) {
  m->present_count_at_update = GetPresentCount();
  m->time_of_update = NowMs();
  if (m->frame_event) m->frame_event->Reset();
  m->update_pending = 0;
}

// Asks the sample for the next frame: 1 when it is in the sample surface,
// 0 when it will come later (pending) or the stream ended (not running).
int RequestFrame(MovieRecord* m) {
  const media::Result r = m->sample->Update(m->frame_event);
  if (r == media::kOk) return 1;
  if (r == media::kPending) {
    m->update_pending = 1;
  } else {
    m->running = 0;
  }
  return 0;
}

// After a reopen the new sample surface is empty; the owner graphic gets
// the frame of the kept time again at once, running or not, so a paused or
// finished movie does not come back blank.
void RefillAfterReopen(MovieRecord* m) {
  if (!m->sample || !GetGraphicRecord(m->owner)) return;
  m->stream->SetState(media::StreamState::kRun);
  if (m->sample->Update(nullptr) == media::kOk) CopyFrame(m, m->owner);
  if (!m->running) m->stream->Pause();
  NoteCopied(m);
}

}  // namespace

RecordTable<MovieRecord>& MovieTable() { return g_movies; }

MovieRecord* GetMovieRecord(int handle) { return g_movies.Find(handle); }

int OpenMovieStream(MovieRecord* m, DirectDraw* object, const char* path, int* frame_width,
                    int* frame_height, int surface_mode) {
  if (!m || !path) return -1;
  // Overlays need an accepted overlay format; a 24-bit frame surface suits
  // only screens below 32 bits.
  if (surface_mode == 1 && DDState().overlay_format_index < 0) surface_mode = 2;
  if (surface_mode == 2 && GetScreenColorBits() == 32) surface_mode = 0;
  m->surface_mode = surface_mode;
  if (Failed(media::MovieStream::Create(&m->stream)))
    return Fail(m, "CLSID_FilterGraph の作成に失敗しました");
  if (!object) return Fail(m, "DirectDraw4オブジェクトを取得できませんでした");
  if (Failed(m->stream->AddVideoStream(object))) {
    return Fail(m, "プライマリビデオストリームを追加できませんでした！");
  }
  if (Failed(m->stream->AddDefaultAudio()))
    GfxLog("デフォルトサウンドレンダラを追加できませんでした！\n");
  // A longer name would be cut and could open some other file.
  if (std::strlen(path) >= static_cast<size_t>(kPathBytes) || Failed(m->stream->OpenFile(path))) {
    char message[1024];
    std::snprintf(message, sizeof message, "ファイル:%s が開けませんでした", path);
    return Fail(m, message);
  }
  m->stream->GetStopPosition(&m->stop_position);
  int width = 0, height = 0;
  m->stream->GetFrameSize(&width, &height);
  if (width <= 0 || height <= 0) return Fail(m, "動画ファイルではない可能性があります！");
  Surface* own = nullptr;
  if (surface_mode == 2) {
    // The display holds no 24-bit off-screen surfaces: the same channels in
    // 32 bits.
    SurfaceDesc d;
    d.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    d.width = width;
    d.height = height;
    d.has_format = true;
    d.format = FormatX8R8G8B8();
    if (Failed(object->CreateSurface(d, &own))) {
      return Fail(m, "DirectDrawSurface オブジェクトの作成に失敗しました");
    }
  }
  const media::Result made = m->stream->CreateSample(own, &m->sample);
  if (own) own->Release();
  if (Failed(made)) {
    GfxLog("ストリームサンプルを作成できませんでした！");
    return Fail(m, "動画ファイルではない可能性があります！");
  }
  if (Failed(m->sample->GetSurface(&m->sample_surface, &m->frame_rect))) {
    return Fail(m,
                "ストリームサンプルからIDirectDrawSurfaceインターフェイスを取得できませんでした！");
  }
  BuildColorFormatFromPixelFormat(m->sample_surface->format(), &m->frame_format);
  // A reopening makes a new event; the old one goes.
  CloseFrameEvent(m);
  m->frame_event = new media::FrameEvent();
  m->update_pending = 0;
  m->stream->GetTimePerFrame(&m->time_per_frame);
  m->frame_width = m->frame_rect.Width();
  m->frame_height = m->frame_rect.Height();
  if (frame_width) *frame_width = m->frame_width;
  if (frame_height) *frame_height = m->frame_height;
  return 0;
}

int OpenMovieToGraph(const char* path, int* frame_width, int* frame_height, int surface_mode) {
  int slot = -1;
  for (int i = 0; i < kMaxMovies && slot < 0; ++i) {
    if (!g_movies.at(i)) slot = i;
  }
  if (slot < 0) return -1;
  auto* m = static_cast<MovieRecord*>(GfxAlloc(sizeof(MovieRecord), "KsGraphics", __LINE__));
  if (!m) {
    GfxLog("メモリの確保に失敗しました in OpenMovieToGraph");
    return -1;
  }
  m->owner = -1;
  if (OpenMovieStream(m, GetDirectDrawObject(), path, frame_width, frame_height, surface_mode) !=
      0) {
    GfxFree(m);
    GfxLog("ムービーファイルオープン処理時にエラーが発生しました");
    return -1;
  }
  std::snprintf(m->path, sizeof m->path, "%s", path);
  m->running = 0;
  return g_movies.Insert(slot, m);
}

int SetMovieOwner(int movie, int graphic) {
  MovieRecord* m = GetMovieRecord(movie);
  if (!m) return -1;
  m->owner = graphic;
  return 0;
}

int CloseMovieOfGraphic(int graphic) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  if (g->movie == -1) return 0;
  MovieRecord* m = GetMovieRecord(g->movie);
  const int movie = g->movie;
  g->movie = -1;
  // A cut-out shares its parent's movie: only the graphic that opened it
  // closes it, so the parent and its other cut-outs keep playing.
  if (!m || m->owner != graphic) return 0;
  ReleaseStreamObjects(m);
  CloseFrameEvent(m);
  g_movies.Remove(RecordTable<MovieRecord>::SlotOf(movie));
  GfxFree(m);
  return 0;
}

int UpdateMovieFrame(int graphic) {
  bool bad = false;
  MovieRecord* m = MovieOfGraphic(graphic, &bad);
  if (bad) return -1;
  if (!m || !m->sample_surface) return 0;
  media::StreamState state = media::StreamState::kStop;
  m->stream->GetState(&state);
  if (!m->running || state != media::StreamState::kRun) return 0;
  // A frame is copied at most once per presented frame, unless 18 ms passed.
  if (m->present_count_at_update == GetPresentCount() && NowMs() - m->time_of_update < 18) return 0;
  if (!m->update_pending) {
    if (RequestFrame(m) == 0) return 0;
  } else if (!m->frame_event->Wait(0)) {
    return 0;
  } else {
    m->update_pending = 0;
  }
  CopyFrame(m, graphic);
  NoteCopied(m);
  // The next frame is asked for at once; one that is already there is
  // copied too.
  if (RequestFrame(m) == 1) {
    CopyFrame(m, graphic);
    NoteCopied(m);
  }
  return 0;
}

int ResumeMovie(int graphic) {
  bool bad = false;
  MovieRecord* m = MovieOfGraphic(graphic, &bad);
  if (bad) return -1;
  if (!m || !m->sample_surface || m->running) return 0;
  m->stream->SetState(media::StreamState::kRun);
  m->running = 1;
  return 0;
}

int PauseMovie(int graphic) {
  bool bad = false;
  MovieRecord* m = MovieOfGraphic(graphic, &bad);
  if (bad) return -1;
  if (!m || !m->running) return 0;
  if (m->stream) m->stream->Pause();
  m->running = 0;
  return 0;
}

namespace {
template <typename Fn>
void ForEachMovieGraphic(Fn fn) {
  RecordTable<GraphicRecord>& t = GraphicTable();
  for (int i = 0; i < t.bound(); ++i) {
    if (const GraphicRecord* g = t.at(i); g && g->movie != -1) fn(g->handle);
  }
}
}  // namespace

int ResumeAllMovies() {
  ForEachMovieGraphic([](int graphic) { ResumeMovie(graphic); });
  return 0;
}

int PauseAllMovies() {
  ForEachMovieGraphic([](int graphic) { PauseMovie(graphic); });
  return 0;
}

int ReleaseAllMovieInterfaces() {
  for (int i = 0; i < kMaxMovies; ++i) {
    MovieRecord* m = g_movies.at(i);
    if (!m || !m->sample_surface) continue;
    m->stream->GetTime(&m->saved_stream_time);
    ReleaseStreamObjects(m);
  }
  return 0;
}

int ReopenAllMovies() {
  int result = 0;
  for (int i = 0; i < kMaxMovies; ++i) {
    MovieRecord* m = g_movies.at(i);
    if (!m || m->sample_surface) continue;
    if (OpenMovieStream(m, GetDirectDrawObject(), m->path, nullptr, nullptr, m->surface_mode) !=
        0) {
      result = -1;
      continue;
    }
    m->stream->Seek(m->saved_stream_time);
    RefillAfterReopen(m);
    if (m->running) m->stream->SetState(media::StreamState::kRun);
  }
  return result;
}
