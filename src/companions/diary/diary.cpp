#include "companions/diary/diary.h"

#include "platform/core/data_folders.h"

#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <mutex>

namespace {

constexpr std::size_t kMaxFileSize = 1024 * 1024;
constexpr std::size_t kMaxFiles = 5;

std::mutex diaryMutex;
std::shared_ptr<spdlog::logger> diary;

// Opens the log on first use; tries again on later lines while the folder cannot be made.
spdlog::logger* Diary() {
    if (diary) return diary.get();
    const std::string folder = platform::LogFolder();
    try {
        auto sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
            folder + "RiviveZuzuve.log", kMaxFileSize, kMaxFiles);
        diary = std::make_shared<spdlog::logger>("diary", std::move(sink));
        diary->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
        diary->flush_on(spdlog::level::trace);
        diary->set_error_handler([](const std::string&) {});
    } catch (const std::exception&) {
        diary.reset();
    }
    return diary.get();
}

}  // namespace

void WriteLogLine(const char* text) {
    if (!text) return;
    std::lock_guard lock(diaryMutex);
    if (spdlog::logger* log = Diary()) {
        try {
            log->info("{}", text);
        } catch (const std::exception&) {
        }
    }
}
