// Message numbers, commands and virtual keys of the window layer. The values
// follow the classic desktop numbering so logs and tests read familiarly.
#pragma once

#include <cstdint>

namespace platform::window {

constexpr uint32_t kMsgCreate = 0x0001;
constexpr uint32_t kMsgDestroy = 0x0002;
constexpr uint32_t kMsgMove = 0x0003;
constexpr uint32_t kMsgSize = 0x0005;
constexpr uint32_t kMsgActivate = 0x0006;
constexpr uint32_t kMsgPaint = 0x000F;
constexpr uint32_t kMsgClose = 0x0010;
constexpr uint32_t kMsgQuit = 0x0012;
constexpr uint32_t kMsgActivateApp = 0x001C;
constexpr uint32_t kMsgSetCursor = 0x0020;
constexpr uint32_t kMsgDisplayChange = 0x007E;
constexpr uint32_t kMsgKeyDown = 0x0100;
constexpr uint32_t kMsgKeyUp = 0x0101;
constexpr uint32_t kMsgChar = 0x0102;
constexpr uint32_t kMsgSysKeyDown = 0x0104;
constexpr uint32_t kMsgSysKeyUp = 0x0105;
constexpr uint32_t kMsgSysChar = 0x0106;
constexpr uint32_t kMsgImeStartComposition = 0x010D;
constexpr uint32_t kMsgImeEndComposition = 0x010E;
constexpr uint32_t kMsgImeComposition = 0x010F;
constexpr uint32_t kMsgCommand = 0x0111;
constexpr uint32_t kMsgSysCommand = 0x0112;
constexpr uint32_t kMsgMouseMove = 0x0200;
constexpr uint32_t kMsgLButtonDown = 0x0201;
constexpr uint32_t kMsgLButtonUp = 0x0202;
constexpr uint32_t kMsgRButtonDown = 0x0204;
constexpr uint32_t kMsgRButtonUp = 0x0205;
constexpr uint32_t kMsgMButtonDown = 0x0207;
constexpr uint32_t kMsgMButtonUp = 0x0208;
constexpr uint32_t kMsgMouseWheel = 0x020A;
constexpr uint32_t kMsgSizing = 0x0214;
constexpr uint32_t kMsgMoving = 0x0216;
constexpr uint32_t kMsgDropFiles = 0x0233;
constexpr uint32_t kMsgImeSetContext = 0x0281;
constexpr uint32_t kMsgImeNotify = 0x0282;
constexpr uint32_t kMsgMciNotify = 0x03B9;
constexpr uint32_t kMsgUser = 0x0400;
// The network layer's socket events and the music layer's end-of-track
// report, both private messages of the library's window.
constexpr uint32_t kMsgSocketEvent = kMsgUser + 261;
constexpr uint32_t kMsgGraphEvent = kMsgUser + 290;

// System commands (wParam of kMsgSysCommand, low four bits masked off).
constexpr uintptr_t kScClose = 0xF060;
constexpr uintptr_t kScScreenSave = 0xF140;

// Size kinds (wParam of kMsgSize).
constexpr uintptr_t kSizeRestored = 0;
constexpr uintptr_t kSizeMinimized = 1;
constexpr uintptr_t kSizeMaximized = 2;

// Sizing edges (wParam of kMsgSizing).
constexpr uintptr_t kEdgeLeft = 1;
constexpr uintptr_t kEdgeRight = 2;
constexpr uintptr_t kEdgeTop = 3;
constexpr uintptr_t kEdgeTopLeft = 4;
constexpr uintptr_t kEdgeTopRight = 5;
constexpr uintptr_t kEdgeBottom = 6;
constexpr uintptr_t kEdgeBottomLeft = 7;
constexpr uintptr_t kEdgeBottomRight = 8;

// Virtual keys.
constexpr uint32_t kVkBack = 0x08;
constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkMenu = 0x12;
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkSpace = 0x20;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkDown = 0x28;
constexpr uint32_t kVkDelete = 0x2E;

// Window styles used by the library's style table.
constexpr uint32_t kStylePopup = 0x80000000u;
constexpr uint32_t kStyleVisible = 0x10000000u;
constexpr uint32_t kStyleCaption = 0x00C00000u;
constexpr uint32_t kStyleSysMenu = 0x00080000u;
constexpr uint32_t kStyleThickFrame = 0x00040000u;
constexpr uint32_t kStyleMinimizeBox = 0x00020000u;
constexpr uint32_t kStyleMaximizeBox = 0x00010000u;
constexpr uint32_t kExStyleTopmost = 0x00000008u;
constexpr uint32_t kExStyleTransparent = 0x00000020u;
constexpr uint32_t kExStyleToolWindow = 0x00000080u;
constexpr uint32_t kExStyleWindowEdge = 0x00000100u;
constexpr uint32_t kExStyleClientEdge = 0x00000200u;

constexpr uint16_t LowWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HighWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr intptr_t MakeLParam(int low, int high) {
  return static_cast<intptr_t>(static_cast<int32_t>(
      (static_cast<uint32_t>(static_cast<uint16_t>(low))) |
      (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16)));
}

}  // namespace platform::window
