#include "recording/finished_recording.h"

#include "recording/record_job.h"

#include <map>
#include <mutex>

namespace recording {

namespace {

std::mutex storeMutex;
std::uintptr_t lastTicket = 0;

std::map<std::uintptr_t, FinishedRecording>& Store() {
    static std::map<std::uintptr_t, FinishedRecording> store;
    return store;
}

}  // namespace

std::uintptr_t DepositFinished(FinishedRecording recording) {
    std::lock_guard lock(storeMutex);
    if (++lastTicket == 0) ++lastTicket;
    Store()[lastTicket] = std::move(recording);
    return lastTicket;
}

std::optional<FinishedRecording> TakeFinished(std::uintptr_t ticket) {
    std::lock_guard lock(storeMutex);
    auto it = Store().find(ticket);
    if (it == Store().end()) return std::nullopt;
    FinishedRecording recording = std::move(it->second);
    Store().erase(it);
    return recording;
}

int PendingFinishes() {
    std::lock_guard lock(storeMutex);
    return static_cast<int>(Store().size());
}

FinishedRecording FinishedFromJob(const RecordJob& job, std::string tempAviPath,
                                  std::string tempWavPath) {
    FinishedRecording finished;
    finished.tempAviPath = std::move(tempAviPath);
    finished.tempWavPath = std::move(tempWavPath);
    finished.VideoType = job.VideoType;
    finished.AutoSave = job.AutoSave;
    finished.RecordAudio = job.RecordAudio;
    finished.RecordMode = job.RecordMode;
    finished.RecordedSeconds = job.RecordedSeconds;
    finished.SoundMissingMs = job.SoundMissingMs;
    return finished;
}

}  // namespace recording
