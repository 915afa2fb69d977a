// HTTP/1.0 transfers over direct network connections, advanced one step
// per pump: the request is sent, the status line and header lines read, and
// the body received into a file or into a tracked memory block. A file is
// written under its name only once the whole body has arrived.
#pragma once

#include <cstdint>

constexpr int kMaxHttpTransfers = 100;

enum HttpMethod { kHttpGet = 0, kHttpPost = 1, kHttpHead = 2 };
// Error codes of a failed transfer.
constexpr int kHttpErrorBadStatus = 0;
constexpr int kHttpErrorNotFound = 1;
constexpr int kHttpErrorNoMemory = 2;
constexpr int kHttpErrorConnectionLost = 3;

// Each starts a transfer and returns its index (0-99), or -1. The body goes
// to the file at file_path, or, with file_path null, into a tracked block
// whose address is stored in *memory (null again on failure; the caller
// frees it with FreeTracked). The block holds the body and one NUL after it.
int HttpGet(const char* host, int port, const char* path, const char* file_path, void** memory);
int HttpPost(const char* host, int port, const char* path, const void* body, int body_bytes,
             const char* file_path, void** memory);
// Reads the status and headers only; the content length is reported.
int HttpHead(const char* host, int port, const char* path);

// -1 running, 0 done, 2 failed; -2 for an index that names no transfer.
// error_code (-1 none), content_length (-1 unknown) and received bytes are
// stored where the pointers are not null.
int GetHttpTransferResult(int index, int* error_code, int* content_length, int* received);
// Ends a transfer (failing it when still running) and frees its slot.
int ReleaseHttpTransfer(int index);

// One step of a running transfer; 0, or -1 for an index without one.
int HttpStep(int index);
// Steps every running transfer (the pump's network step).
int StepHttpTransfers();
// Start-up: the table is empty.
int ClearHttpTransfers();
// Shutdown: every transfer is ended and its slot freed.
int EndHttpTransfers();
int LiveHttpTransferCount();
