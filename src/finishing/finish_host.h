#pragma once
// What the record-finish handler needs of the main window. The main window implements it; tests
// use a stand-in.
// Thread contract: every call comes from the user-interface thread.
#include "platform/core/types.h"
#include "recording/record_job.h"
#include "settings/record_settings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace finishing {

class FinishHost {
public:
    virtual ~FinishHost() = default;
    virtual platform::WindowHandle MainWindow() = 0;
    // The finished recording's job (VideoType, AutoSave, RecordAudio, RecordMode, RecordedSeconds).
    virtual const recording::RecordJob& Job() = 0;
    // The live settings: AutoSaveDir and PlayVideo as they are now.
    virtual const settings::RecordSettings& Settings() = 0;
    virtual std::atomic<std::int32_t>& HookInstalled() = 0;
    // UninstallMyHook on the main window.
    virtual void RemoveClickHook() = 0;
    // Restores the main window (show state 9).
    virtual void RestoreMain() = 0;
    virtual std::string TempAviPath() = 0;
    virtual std::string TempWavPath() = 0;
    // The Select Area page's "Show Selected Area" is checked.
    virtual bool ShowSelectedArea() = 0;
    // The flags shared with the converter worker: a conversion runs; the user asked to quit.
    virtual std::atomic<std::int32_t>& Converting() = 0;
    virtual std::atomic<std::int32_t>& CancelConvert() = 0;
    // What ends the recorder after a quit during a conversion: removes the tray icon and ends
    // the main window's modal loop with the cancel result, without the exit routine (the
    // settings are not saved). The function returned may be called from any thread.
    virtual std::function<void()> EndApplication() = 0;
    // The exit routine, run once the handler has returned (a quit confirmed while it waited).
    virtual void Quit() {}
};

}  // namespace finishing
