#include "recording/recording_control.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"
#include "recording/flashing_wnd.h"
#include "recording/interruption_report.h"
#include "recording/recording_messages.h"
#include "recording/start_limits.h"
#include "recording/temp_files.h"

#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <utility>
#include <vector>

namespace recording {

namespace {

constexpr unsigned kStartWaitMs = 500;
constexpr unsigned kStopWaitMs = 50;
constexpr int kStatusWidth = 120;
constexpr int kStatusHeight = 25;

std::string SkinPath(const char* name) { return platform::GetProgramFolder() + "skins/" + name; }

void WarningBox(RecordingHost& host, const char* key) {
    platform::MessageBox(host.MainWindow(), GetText("MsgBox", key), "",
                         platform::MB_OK | platform::MB_ICONWARNING);
}

}  // namespace

int AreaTextToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

RecordingControl::RecordingControl(RecordingHost& host, CFlashingWnd* frameWindow, AviApi& avi,
                                   audio::SoundCapture* sound)
    : host_(host), frameWindow_(frameWindow), avi_(avi), sound_(sound) {
    sleep_ = [](unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    starter_ = [this](RecordEnvironment env) { StartThread(std::move(env)); };
}

RecordingControl::~RecordingControl() {
    job_.Paused = 0;
    job_.Running = 0;
    ReleaseThread();
}

// A thread that has cleared ThreadActive uses nothing shared any more, but may still wait for a
// message box on this thread: it is let go rather than waited for. A thread still recording
// sees Running cleared within 50 ms and is waited for, so its files are complete.
void RecordingControl::ReleaseThread() {
    if (!thread_.joinable()) return;
    if (job_.ThreadActive)
        thread_.join();
    else
        thread_.detach();
}

void RecordingControl::StartThread(RecordEnvironment env) {
    thread_ = std::thread(RecordThreadProc, std::move(env));
}

void RecordingControl::StatusPauseBitmap(bool paused) {
    host_.StatusSetPaused(paused, SkinPath(paused ? "showstatus_start.bmp" : "showstatus_pause.bmp"));
}

void RecordingControl::ReadArea() {
    job_.Left = AreaTextToInt(host_.AreaEditText(kIdEditLeft));
    job_.Top = AreaTextToInt(host_.AreaEditText(kIdEditTop));
    job_.Width = AreaTextToInt(host_.AreaEditText(kIdEditWidth));
    job_.Height = AreaTextToInt(host_.AreaEditText(kIdEditHeight));
}

void RecordingControl::OnStart() {
    host_.CancelConvert() = 0;
    host_.InvalidateMain(false);

    if (host_.IsRecording() && !job_.Paused) return;
    if (!host_.IsRecording()) {
        if (job_.ThreadActive) {
            WriteLogLine("Start refused: the previous recording is still being closed");
            return;
        }
        OnFlashFrame(1, 0);
    }
    host_.IsRecording() = 1;
    settings::RecordSettings& settings = host_.Settings();

    if (job_.Paused) {
        job_.Paused = 0;
        host_.EnableButton(kIdStart, false);
        if (settings.StartMinimize) host_.MinimizeMain();
        host_.EnableButton(kIdPause, true);
        host_.StatusShow();
        host_.StatusStartTimer(kStatusTimerId, kStatusTimerMs);
        StatusPauseBitmap(false);
        return;
    }

    host_.EnableButton(kIdStart, false);
    host_.EnableButton(kIdStop, true);
    host_.EnableButton(kIdPause, true);

    if (settings.RecordMode) {
        job_.Left = 0;
        job_.Top = 0;
        job_.Width = host_.ScreenWidth();
        job_.Height = host_.ScreenHeight();
    } else {
        ReadArea();
        const char* refusal = nullptr;
        if (job_.Width == 0 || job_.Height == 0)
            refusal = "InvalidArea";
        else if (job_.Width < kMinimumSide || job_.Height < kMinimumSide)
            refusal = "SmallArea";
        if (refusal) {
            WarningBox(host_, refusal);
            host_.EnableButton(kIdStart, true);
            host_.EnableButton(kIdStop, false);
            host_.EnableButton(kIdPause, false);
            host_.IsRecording() = 0;
            return;
        }
        FitAreaToScreen();
        settings.RecordLeft = job_.Left;
        settings.RecordTop = job_.Top;
        settings.RecordRight = job_.Width;
        settings.RecordBottom = job_.Height;
    }

    job_.HighLightMouseCOLOR = settings.HighLightMouseCOLOR;
    job_.ClickHighMouseRightCOLOR = settings.ClickHighMouseRightCOLOR;
    job_.HighLightMouse = settings.HighLightMouse;
    job_.RecordMouse = settings.RecordMouse;
    job_.ClickHighMouseLeftCOLOR = settings.ClickHighMouseLeftCOLOR;
    job_.ClickHighMouse = settings.ClickHighMouse;
    job_.Quality = settings.VideoQuanlity * 100;
    job_.VideoType = settings.VideoType;
    job_.HighLightSize = settings.HighLightSize;
    // A frame rate out of range (only from a hand-edited Config.ini) is brought into it.
    job_.FrameRate = ClampFrameRate(settings.FrameRate);
    if (job_.FrameRate != settings.FrameRate) {
        char line[128] = {};
        std::snprintf(line, sizeof line, "FrameRate %d cannot be recorded: %d is used",
                      settings.FrameRate, job_.FrameRate);
        WriteLogLine(line);
        settings.FrameRate = job_.FrameRate;
    }
    job_.MsPerFrame = 1000 / job_.FrameRate;
    job_.AutoSave = settings.AutoSave;
    job_.FlashingRect = settings.FlashingRect;
    job_.RecordMode = settings.RecordMode;
    job_.Running = 1;
    job_.RecordAudio = settings.RecordAudio;

    if (job_.RecordAudio && host_.WaveInDeviceCount() == 0) {
        WriteLogLine("waveInGetNumDevs() == 0,No audio input device!");
        WarningBox(host_, "NoAudioDevice");
        job_.RecordAudio = 0;
    }

    if (host_.HookInstalled() == 0 && job_.ClickHighMouse)
        host_.HookInstalled() = host_.InstallClickHook();

    if (settings.StartMinimize) host_.MinimizeMain();
    sleep_(kStartWaitMs);

    RecordEnvironment env;
    env.job = &job_;
    env.mainWindow = host_.MainWindow();
    env.frameWindow = frameWindow_;
    env.sound = sound_;
    env.avi = &avi_;
    env.left = job_.Left;
    env.top = job_.Top;
    env.width = job_.Width;
    env.height = job_.Height;
    env.recordingNumber = ++recordingNumber_;
    ReleaseThread();  // the previous thread, done with everything shared
    job_.ThreadActive = 1;
    starter_(std::move(env));

    int x = job_.Left + job_.Width / 2 - 60;
    int y = job_.Top + job_.Height + 10;
    if (y > host_.ScreenHeight()) y = job_.Top - 35;
    host_.StatusPlace(x, y, kStatusWidth, kStatusHeight);
    host_.StatusShow();
    host_.StatusStartTimer(kStatusTimerId, kStatusTimerMs);

    EnableAreaControls(false);

    char line[128] = {};
    std::snprintf(line, sizeof line, "Start Record,Record Audio %d,Record Mouse %d",
                  job_.RecordAudio, job_.RecordMouse);
    WriteLogLine(line);
    char typeLine[128] = {};
    std::snprintf(typeLine, sizeof typeLine, "File Type is %d ", job_.VideoType);
    WriteLogLine(typeLine);
}

// A region reaching beyond the screen keeps the part on the screen (the log says so).
void RecordingControl::FitAreaToScreen() {
    const Area wanted{job_.Left, job_.Top, job_.Width, job_.Height};
    const int width = host_.DesktopWidth(), height = host_.DesktopHeight();
    const Area fitted = ClampAreaToScreen(wanted, width, height);
    if (fitted == wanted) return;
    char line[192] = {};
    std::snprintf(line, sizeof line,
                  "Area %d,%d %dx%d lies beyond the %dx%d screen: %d,%d %dx%d is recorded",
                  wanted.left, wanted.top, wanted.width, wanted.height, width, height,
                  fitted.left, fitted.top, fitted.width, fitted.height);
    WriteLogLine(line);
    job_.Left = fitted.left;
    job_.Top = fitted.top;
    job_.Width = fitted.width;
    job_.Height = fitted.height;
}

void RecordingControl::OnPause() {
    if (!job_.Running || job_.Paused) return;
    StatusPauseBitmap(true);
    job_.Paused = 1;
    host_.EnableButton(kIdStart, true);
    host_.EnableButton(kIdPause, false);
    host_.StatusKillTimer(kStatusTimerId);
    host_.InvalidateMain(false);
}

void RecordingControl::OnStop() {
    BackToIdle();
    WriteLogLine("Stop Rivive Zuzuve");
}

void RecordingControl::BackToIdle() {
    if (host_.HookInstalled() != 0) {
        host_.RemoveClickHook();
        host_.HookInstalled() = 0;
    }
    StatusPauseBitmap(false);
    host_.IsRecording() = 0;
    // Before Running is cleared: the recording thread copies it for the finishing when it ends.
    if (job_.Running)
        job_.RecordedSeconds = static_cast<std::int32_t>(host_.StatusElapsedSeconds() & 0xFFFFFFFF);
    job_.Paused = 0;
    job_.Running = 0;
    host_.ShowMainForeground();
    host_.EnableButton(kIdStop, false);
    host_.EnableButton(kIdStart, true);
    host_.EnableButton(kIdPause, false);
    host_.StatusResetElapsed();
    host_.StatusKillTimer(kStatusTimerId);
    sleep_(kStopWaitMs);
    host_.StatusHide();
    if (job_.RecordMode) {
        host_.EnableAreaControl(kIdFullScreen, true);
        host_.EnableAreaControl(kIdSelectedRegion, true);
    } else {
        EnableAreaControls(true);
    }
    host_.InvalidateMain(true);
}

platform::LRESULT RecordingControl::OnHotKey(platform::WPARAM id, platform::LPARAM) {
    switch (id) {
        case kHotKeyStart: OnStart(); break;
        case kHotKeyPause: OnPause(); break;
        case kHotKeyStop: OnStop(); break;
        default: break;
    }
    return 0;
}

platform::LRESULT RecordingControl::OnRecordInterrupted(platform::WPARAM wParam,
                                                       platform::LPARAM lParam) {
    WriteLogLine("OnRecordInterrupted!");
    // The message of an earlier recording leaves a recording started since alone.
    const bool current = lParam == 0 || lParam == recordingNumber_;
    if (current) {
        BackToIdle();
        host_.RestoreMainToTop();
    }
    ReportInterruption(static_cast<int>(wParam), current);
    return 0;
}

// The temporary names are those of the last recording: named only when it is the one that
// was interrupted.
void RecordingControl::ReportInterruption(int reason, bool current) {
    std::string video = current ? TempAviPath() : std::string();
    if (!video.empty() && !platform::FileExists(video)) video.clear();
    std::string sound = !video.empty() && job_.RecordAudio ? host_.TempWavPath() : std::string();
    if (!sound.empty() && !platform::FileExists(sound)) sound.clear();
    std::vector<std::string> kept;
    for (const std::string* file : {&video, &sound})
        if (!file->empty()) kept.push_back(*file);

    std::string line = std::string("Recording interrupted: ") + InterruptionKey(reason);
    for (const std::string& file : kept) line += ", kept " + file;
    WriteLogLine(line.c_str());
    const std::string text = InterruptionText(reason, kept);
    if (host_.TakeInterrupted(text, video, sound)) return;
    platform::MessageBox(host_.MainWindow(), text, "", platform::MB_OK | platform::MB_ICONWARNING);
}

platform::LRESULT RecordingControl::OnFlashFrame(platform::WPARAM wParam, platform::LPARAM) {
    if (wParam == 0) {
        ReadArea();
        if (!frameWindow_) return 0;
        frameWindow_->SetFrameArea(job_.Left, job_.Top, job_.Width, job_.Height);
        frameWindow_->ShowFrame();
        frameWindow_->PaintFrame(kFrameRed);
    } else if (wParam == 1 && frameWindow_) {
        frameWindow_->HideFrame();
    }
    return 0;
}

void RouteRecordingMessages(platform::MessageWindow& mainWindow,
                            std::function<RecordingControl*()> control) {
    using Handler = platform::LRESULT (RecordingControl::*)(platform::WPARAM, platform::LPARAM);
    const std::pair<std::uint32_t, Handler> routes[] = {
        {WM_USER_RECORDINTERRUPTED, &RecordingControl::OnRecordInterrupted},
        {WM_USER_FLASHFRAME, &RecordingControl::OnFlashFrame},
        {platform::WM_HOTKEY, &RecordingControl::OnHotKey},
    };
    for (const auto& [message, handler] : routes)
        mainWindow.On(message, [control, handler](platform::WPARAM w, platform::LPARAM l) {
            RecordingControl* target = control();
            return target ? (target->*handler)(w, l) : 0;
        });
}

void RecordingControl::EnableAreaControls(bool enable) {
    for (int id : {kIdEditLeft, kIdEditTop, kIdEditWidth, kIdEditHeight, kIdSelectRegion,
                   kIdSelectWindow, kIdFullScreen, kIdSelectedRegion, kIdShowFlashing,
                   kIdShowSelected, kIdLabelLeft, kIdLabelTop, kIdLabelWidth, kIdLabelHeight})
        host_.EnableAreaControl(id, enable);
}

}  // namespace recording
