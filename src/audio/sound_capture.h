#pragma once
// What the recording thread asks of sound capture during one recording.
// Thread contract: every call comes from the recording thread, in this order:
// OpenSoundFile, StartAudioRecording, (frame loop), StopAudioRecording, DestroySoundFile.
namespace audio {

class SoundCapture {
public:
    virtual ~SoundCapture() = default;
    // Names and creates the temporary WAVE file.
    virtual void OpenSoundFile() = 0;
    // False when capture could not be started (the reason has been shown to the user).
    virtual bool StartAudioRecording() = 0;
    virtual void StopAudioRecording() = 0;
    // Completes the WAVE file (if one exists) and clears the reference.
    virtual void DestroySoundFile() = 0;
};

}  // namespace audio
