#pragma once
// FinishedRecording: what the finishing stage needs of one recording once its files are closed,
// copied when the recording thread ends, so that a new recording started while the previous one
// is being finished (Save As open, a conversion running) cannot change what the finishing reads.
// The recording thread deposits it and posts WM_USER_RECORDFINISH with the ticket as wParam;
// the finishing stage takes it by that ticket.
// Thread contract: DepositFinished, TakeFinished and PendingFinishes may be called from any
// thread (the store is guarded).
#include <cstdint>
#include <optional>
#include <string>

namespace recording {

struct FinishedRecording {
    std::string tempAviPath;
    std::string tempWavPath;  // empty without sound
    std::int32_t VideoType = 100;
    std::int32_t AutoSave = 0;
    std::int32_t RecordAudio = 0;
    std::int32_t RecordMode = 0;
    std::int32_t RecordedSeconds = 0;
    std::uint32_t SoundMissingMs = 0;  // sound lost with the sound server, filled with silence
    // A cancelled Save As keeps the files instead of discarding them (a second try after an
    // output that could not be made, a recording left by an earlier run).
    std::int32_t KeepOnCancel = 0;
    // Its video has no index (left by a crash or a full disk, and it could not be given one where
    // it lies): a plain copy of it is given one on the way.
    std::int32_t IndexMissing = 0;
};

struct RecordJob;
// What finishing needs of `job`'s recording, whose files are `tempAviPath` and `tempWavPath`.
FinishedRecording FinishedFromJob(const RecordJob& job, std::string tempAviPath,
                                  std::string tempWavPath);

// Keeps `recording` until it is taken; returns its ticket (never 0).
std::uintptr_t DepositFinished(FinishedRecording recording);
// The recording deposited under `ticket`, removed from the store; nothing for an unknown ticket.
std::optional<FinishedRecording> TakeFinished(std::uintptr_t ticket);
// Recordings deposited and not yet taken.
int PendingFinishes();

}  // namespace recording
