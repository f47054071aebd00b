#pragma once
// Private messages of the main window that concern recording.
#include <cstdint>

namespace recording {

constexpr std::uint32_t WM_USER_RECORDFINISH = 0x401;
constexpr std::uint32_t WM_USER_RECORDINTERRUPTED = 0x402;
constexpr std::uint32_t WM_USER_FLASHFRAME = 0x470;  // wParam 0 show, 1 hide

// Why a recording was interrupted: the wParam of WM_USER_RECORDINTERRUPTED. Its lParam is the
// number the recording was started with (RecordEnvironment::recordingNumber; 0 when unknown).
enum InterruptReason : int {
    kInterruptUnknown = 0,
    kInterruptCreate = 1,    // the temporary video file could not be created
    kInterruptSetup = 2,     // the video stream could not be set up
    kInterruptWrite = 3,     // a frame could not be written
    kInterruptDiskFull = 4,  // the disk holding the temporary folder is full
    kInterruptMemory = 5,    // no memory for a frame
    kInterruptScreen = 6,    // the screen could not be opened
};

// Hot-key ids.
constexpr int kHotKeyStart = 0xB1A5;
constexpr int kHotKeyPause = 0xB1A7;
constexpr int kHotKeyStop = 0xB1A9;

}  // namespace recording
