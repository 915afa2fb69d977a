// The on-screen log: the newest log lines drawn over the frame, in white
// with a black edge, with a font of its own. It is off unless switched on
// (KESTO_SCREEN_LOG=1 in the environment at start-up, or
// SetScreenLogEnabled); while it is off, log lines are not kept for it and
// presenting draws nothing.
#pragma once

constexpr int kScreenLogLines = 80;
constexpr int kScreenLogLineBytes = 255;

struct ScreenLogState {
  int prepared;
  int enabled;
  int font_height;
  int font;
  int font_deleted;
  int tab_width;
  int line;    // the line being written
  int column;  // its length
  int lines_used;
  char store[kScreenLogLines][kScreenLogLineBytes];
};

ScreenLogState& GetScreenLogState();

// 0; -1 without a DirectDraw object or without a window.
int InitScreenLog();
int RecreateScreenLogFont();
int DrawScreenLog();
int IsScreenLogEnabled();
int SetScreenLogEnabled(int enabled);
// The font goes and the log is marked unprepared (shutdown).
int EndScreenLog();
// Appends logged text: line feeds end a line, tabs move to the next tab
// stop, a full line goes on in the next one, and the oldest line gives way
// when the store is full. Nothing is kept while the log is off.
void AddScreenLogText(const char* text);
