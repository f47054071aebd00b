#pragma once
#include <string>

// What the recording thread asks of sound capture during one recording.
// Thread contract: every call comes from the recording thread, in this order:
// OpenSoundFile, StartAudioRecording, (frame loop with PauseAt/ResumeAt), StopAudioRecording,
// DestroySoundFile.
#include <cstdint>

namespace audio {

class SoundCapture {
public:
    virtual ~SoundCapture() = default;
    // Names and creates the temporary WAVE file.
    virtual void OpenSoundFile() = 0;
    // Capture begins with the sound of the instant this is called. False when it could not be
    // started (the reason has been shown to the user).
    virtual bool StartAudioRecording() = 0;
    // The recording's timeline leaves out the sound from PauseAt to the next ResumeAt; both in
    // milliseconds since StartAudioRecording, as the recording thread's clock measures them.
    virtual void PauseAt(std::uint32_t msSinceStart) = 0;
    virtual void ResumeAt(std::uint32_t msSinceStart) = 0;
    // Milliseconds since StartAudioRecording by the sound device's own clock; false while it
    // cannot tell.
    virtual bool ClockMs(std::uint32_t* msSinceStart) = 0;
    virtual void StopAudioRecording() = 0;
    // Milliseconds of the last recording's sound that were missing because the sound server was
    // lost, filled with silence; read after StopAudioRecording.
    virtual std::uint32_t MissingMs() const { return 0; }
    // Completes the WAVE file (if one exists) and clears the reference.
    virtual void DestroySoundFile() = 0;
    // Full path of the sound file of this recording (empty when none was made).
    virtual std::string SoundFilePath() const { return {}; }
};

}  // namespace audio
