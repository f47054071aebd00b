#pragma once
// Copying a file in 64 KiB chunks with a progress routine, as the copy worker and the finish
// handler need it. The routine hears of the stream's start (reason kCopyStreamSwitch, with the
// total size) and of each chunk written (kCopyChunkFinished); it returns 0 to go on.
// Thread contract: any thread; nothing is shared between calls.
#include <cstdint>
#include <functional>
#include <string>

namespace finishing {

constexpr std::size_t kCopyChunk = 64 * 1024;
constexpr int kCopyChunkFinished = 0;
constexpr int kCopyStreamSwitch = 1;

using CopyProgressRoutine =
    std::function<std::uint32_t(std::uint64_t totalSize, std::uint64_t copied, int reason)>;

// With `failIfExists` an existing target is refused (created exclusively); otherwise it is
// replaced. A copy that fails or is cancelled after the target was created removes that target.
// False when the source cannot be read, the target cannot be created or written, or the routine
// cancelled.
bool CopyFileWithProgress(const std::string& from, const std::string& to, bool failIfExists,
                          const CopyProgressRoutine& progress = {});

// Deletes a file; a missing file is not an error.
void DeleteFileQuietly(const std::string& path);

}  // namespace finishing
