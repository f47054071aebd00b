#pragma once
#include <string>

// What the recording thread asks of sound capture during one recording.
// Thread contract: every call comes from the recording thread, in this order:
// OpenSoundFile, StartAudioRecording, (frame loop), StopAudioRecording, DestroySoundFile.
namespace audio {

class SoundCapture {
public:
    virtual ~SoundCapture() = default;
    // Names and creates the temporary WAVE file.
    virtual void OpenSoundFile() = 0;
    virtual void StartAudioRecording() = 0;
    virtual void StopAudioRecording() = 0;
    // Completes the WAVE file (if one exists) and clears the reference.
    virtual void DestroySoundFile() = 0;
    // Full path of the sound file of this recording (empty when none was made).
    virtual std::string SoundFilePath() const { return {}; }
};

}  // namespace audio
