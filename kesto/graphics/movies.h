// Movies shown in graphics: the movie table, opening a movie file as a
// multimedia stream whose frames are decoded into a sample surface, the
// per-draw frame update that copies the newest frame into the graphic, pause
// and resume with the window's focus, and releasing and reopening the
// streams around a recovery of the display.
#pragma once

#include <cstdint>

#include "graphics/color_format.h"
#include "graphics/record_table.h"
#include "platform/media/movie_stream.h"
#include "platform/video/surface.h"

struct MovieRecord {
  uint32_t serial;
  platform::video::Rect frame_rect;
  platform::media::MovieStream* stream;
  platform::media::StreamSample* sample;
  platform::video::Surface* sample_surface;
  ColorFormatHeader frame_format;
  uint64_t present_count_at_update;
  int32_t time_of_update;
  int32_t running;
  int32_t frame_width, frame_height;
  int32_t surface_mode;
  int64_t saved_stream_time;
  int64_t stop_position;
  int64_t time_per_frame;
  char path[260];
  platform::media::FrameEvent* frame_event;
  int32_t update_pending;
  // The graphic that opened the movie; its cut-outs show it but do not own it.
  int owner;
};

constexpr int kMaxMovies = 100;
RecordTable<MovieRecord>& MovieTable();

int OpenMovieToGraph(const char* path, int* frame_width, int* frame_height, int surface_mode);
int OpenMovieStream(MovieRecord* movie, platform::video::DirectDraw* object, const char* path,
                    int* frame_width, int* frame_height, int surface_mode);
MovieRecord* GetMovieRecord(int handle);
// Ties a movie to the graphic that shows it (the one whose deletion closes it).
int SetMovieOwner(int movie, int graphic);
int CloseMovieOfGraphic(int graphic);
int UpdateMovieFrame(int graphic);
int ResumeMovie(int graphic);
int PauseMovie(int graphic);
int ResumeAllMovies();
int PauseAllMovies();
int ReleaseAllMovieInterfaces();
int ReopenAllMovies();
// Copies the sample surface's frame into the graphic's parts.
int CopyMovieFrameToSurface2D(MovieRecord* movie, int graphic);
int CopyMovieFrameToTextureParts(MovieRecord* movie, int graphic);
