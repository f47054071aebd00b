#pragma once
// Copying a file in 64 KiB chunks with a progress routine, as the copy worker and the finish
// handler need it. The routine hears of the stream's start (reason kCopyStreamSwitch, with the
// total size) and of each chunk written (kCopyChunkFinished); it returns kCopyContinue to go on,
// kCopyCancel to stop.
//
// The copy is written under a temporary name beside the target (".<name>.saving-XXXXXX"), synced,
// and renamed onto the target only when complete: a copy that fails, is cancelled or is cut short
// by the end of the process never leaves a file under the target's name.
// Thread contract: any thread; nothing is shared between calls.
#include <cstdint>
#include <functional>
#include <string>

namespace finishing {

constexpr std::size_t kCopyChunk = 64 * 1024;
constexpr int kCopyChunkFinished = 0;
constexpr int kCopyStreamSwitch = 1;
constexpr std::uint32_t kCopyContinue = 0;
constexpr std::uint32_t kCopyCancel = 1;

using CopyProgressRoutine =
    std::function<std::uint32_t(std::uint64_t totalSize, std::uint64_t copied, int reason)>;

// With `failIfExists` an existing target is never replaced: refused before copying, and the
// final rename refuses a target that appeared meanwhile. Otherwise it is replaced. False when
// the source cannot be read, the target cannot be made or written, or the routine cancelled;
// the temporary copy is then gone and the target as it was.
bool CopyFileWithProgress(const std::string& from, const std::string& to, bool failIfExists,
                          const CopyProgressRoutine& progress = {});

// Makes `to` as CopyFileWithProgress does, from a file that `write` fills under the temporary
// name it is given (an empty file there, which it may replace). False when `write` fails or the
// file cannot be made or put in place; the temporary file is then gone and the target as it was.
bool WriteFileBeside(const std::string& to, bool failIfExists,
                     const std::function<bool(const std::string& temp)>& write);

// Deletes a file; a missing file is not an error.
void DeleteFileQuietly(const std::string& path);

}  // namespace finishing
