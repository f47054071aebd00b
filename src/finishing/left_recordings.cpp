#include "finishing/left_recordings.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "platform/media/avi_repair.h"
#include "recording/finished_recording.h"
#include "recording/recording_messages.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace finishing {

namespace {

namespace fs = std::filesystem;

// A sound file written until this close to its video's last write belongs to it.
constexpr double kPairingSeconds = 5;

bool IsTempName(const fs::path& path, const char* extension) {
    const std::string name = path.filename().string();
    return name.rfind("temp", 0) == 0 && path.extension() == extension;
}

std::time_t Modified(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

std::string Length(double seconds) {
    return GetText("MsgBox", "LeftRecordingLength") +
           std::to_string(static_cast<long>(std::lround(std::max(seconds, 0.0)))) + " s";
}

std::string Describe(const LeftRecording& left, double seconds) {
    char when[64] = {};
    std::tm local {};
    localtime_r(&left.modified, &local);
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::string text = std::string(GetText("MsgBox", "LeftRecording")) + when + "\n" + Length(seconds) + "\n" +
                       left.aviPath;
    if (!left.wavPath.empty()) text += "\n" + left.wavPath;
    return text;
}

void Save(platform::WindowHandle mainWindow, const settings::RecordSettings& settings, const LeftRecording& left,
          double seconds) {
    recording::FinishedRecording rec;
    if (!platform::media::RewriteAviWithIndex(left.aviPath)) {
        const std::string line = "Left recording could not be given an index where it lies: " + left.aviPath;
        WriteLogLine(line.c_str());
        rec.IndexMissing = 1;
    }
    rec.tempAviPath = left.aviPath;
    if (!left.wavPath.empty() && platform::media::CompleteWaveSizes(left.wavPath)) rec.tempWavPath = left.wavPath;
    rec.RecordAudio = rec.tempWavPath.empty() ? 0 : 1;
    rec.VideoType = settings.VideoType;
    rec.AutoSave = settings.AutoSave;
    rec.RecordMode = 1;  // no area to show again around it
    rec.RecordedSeconds = static_cast<std::int32_t>(std::lround(std::max(seconds, 0.0)));
    rec.KeepOnCancel = 1;
    platform::PostMessage(mainWindow, recording::WM_USER_RECORDFINISH, recording::DepositFinished(std::move(rec)), 0);
}

}  // namespace

std::vector<LeftRecording> FindLeftRecordings(const std::string& folder) {
    std::vector<fs::path> videos, sounds;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        if (IsTempName(entry.path(), ".avi")) videos.push_back(entry.path());
        else if (IsTempName(entry.path(), ".wav")) sounds.push_back(entry.path());
    }
    std::sort(videos.begin(), videos.end());
    std::vector<LeftRecording> found;
    for (const fs::path& video : videos) {
        LeftRecording left;
        left.aviPath = video.string();
        left.modified = Modified(video);
        auto best = sounds.end();
        for (auto it = sounds.begin(); it != sounds.end(); ++it) {
            const double apart = std::fabs(std::difftime(Modified(*it), left.modified));
            if (apart <= kPairingSeconds &&
                (best == sounds.end() || apart < std::fabs(std::difftime(Modified(*best), left.modified))))
                best = it;
        }
        if (best != sounds.end()) {
            left.wavPath = best->string();
            sounds.erase(best);
        }
        found.push_back(std::move(left));
    }
    return found;
}

void OfferLeftRecording(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                        const LeftRecording& left, const std::string& heading) {
    const double seconds = platform::media::VideoSeconds(left.aviPath);
    const std::string text = heading.empty() ? Describe(left, seconds) : heading + "\n\n" + Length(seconds);
    const int answer = platform::MessageBox(
        mainWindow, text, kApplicationName, platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION,
        {GetText("MsgBox", "LeftSave"), GetText("MsgBox", "LeftDelete"), GetText("MsgBox", "LeftLater")});
    if (answer == platform::IDYES) {
        Save(mainWindow, settings, left, seconds);
    } else if (answer == platform::IDNO) {
        DeleteFileQuietly(left.aviPath);
        DeleteFileQuietly(left.wavPath);
        WriteLogLine("Left recording deleted");
    } else {
        WriteLogLine("Left recording kept for later");
    }
}

void OfferLeftRecordings(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                         const std::string& folder) {
    for (const LeftRecording& left : FindLeftRecordings(folder)) {
        const std::string line = "Left recording found: " + left.aviPath + " " + left.wavPath;
        WriteLogLine(line.c_str());
        OfferLeftRecording(mainWindow, settings, left);
    }
}

}  // namespace finishing
