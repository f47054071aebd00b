// A full-HD recording converted to MP4 with sound: by the recorder's converter worker (probe,
// codes/Transmux, ffmpeg underneath) and by ffmpeg alone with the same settings, in the same run.
//
// The recording is made here as the recording thread makes it: a Microsoft Video 1 AVI at
// 1920x1080, 10 frames per second, quality 6500 (a desktop with a window moving across it and
// a scrolling text window), with a 22050 Hz mono PCM WAVE file beside it. Its length in seconds
// is the first argument (60 by default); the second is the number of rounds (2 by default), of
// which the quickest of each side counts.
//
// Times are wall-clock seconds and the CPU seconds of the child processes (everything ffprobe,
// the converter and ffmpeg used), which the load of other processes on the machine inflates less.
// The recorder's progress is the number of bar positions the worker sent per second of
// conversion (the final 100 not counted; the slowest round counts).
//
// The last line is
//   convert 1920x1080 Ns mp4: ours_s=N ffmpeg_s=N ratio=N ours_cpu_s=N ffmpeg_cpu_s=N cpu_ratio=N
//   progress_per_s=N
#include "ffmpeg_args.h"
#include "finishing/convert_worker.h"
#include "finishing/converter_command.h"
#include "finishing/progess_dlg.h"
#include "platform/core/message_box.h"
#include "platform/core/process.h"
#include "platform/media/avi_writer.h"
#include "platform/media/dib.h"
#include "platform/media/msvideo1_encoder.h"
#include "request.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QEventLoop>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace platform::media;
using Clock = std::chrono::steady_clock;

constexpr int kW = 1920, kH = 1080, kRate = 10;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double ChildCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Frame `i` of the desktop: a gradient wallpaper, a text window scrolling 2 lines a second and a
// small window crossing the screen.
QImage DesktopFrame(int i) {
    static const QImage wallpaper = [] {
        QImage img(kW, kH, QImage::Format_RGB888);
        QPainter p(&img);
        QLinearGradient g(0, 0, kW, kH);
        g.setColorAt(0, QColor(40, 70, 120));
        g.setColorAt(1, QColor(120, 160, 90));
        p.fillRect(img.rect(), g);
        return img;
    }();
    QImage img = wallpaper.copy();
    QPainter p(&img);
    p.setFont(QFont("DejaVu Sans", 10));
    const QRect text(120, 100, 1000, 760);
    p.fillRect(text, QColor(246, 245, 244));
    p.setPen(QColor(20, 20, 20));
    const int first = i / (kRate / 2);
    for (int line = 0; line < 40; ++line)
        p.drawText(text.left() + 8, text.top() + 18 * (line + 1),
                   QString("%1  the recording thread grabs a frame and writes it at its position").arg(first + line));
    const QRect moving((i * 12) % (kW - 400), 200 + (i * 5) % 600, 400, 260);
    p.fillRect(moving, QColor(53, 132, 228));
    p.setPen(Qt::white);
    p.drawText(moving.adjusted(10, 10, -10, -10), Qt::AlignLeft, QString("frame %1").arg(i));
    p.end();
    return img;
}

std::vector<std::uint8_t> ToDib(const QImage& image) {
    const std::size_t stride = static_cast<std::size_t>(platform::media::DibStride(kW, 24));
    std::vector<std::uint8_t> dib(stride * kH);
    for (int y = 0; y < kH; ++y) {
        const std::uint8_t* s = image.constScanLine(y);
        std::uint8_t* d = dib.data() + (kH - 1 - y) * stride;
        for (int x = 0; x < kW; ++x) {
            d[x * 3] = s[x * 3 + 2];
            d[x * 3 + 1] = s[x * 3 + 1];
            d[x * 3 + 2] = s[x * 3];
        }
    }
    return dib;
}

bool WriteRecording(const std::string& path, int seconds) {
    AviFile* file = nullptr;
    AviStream *stream = nullptr, *compressed = nullptr;
    if (AVIFileOpen(&file, path) != AVIERR_OK) return false;
    AVISTREAMINFO info;
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = kRate;
    info.rcFrame = platform::Rect{0, 0, kW, kH};
    AVICOMPRESSOPTIONS o;
    o.fccType = streamtypeVIDEO;
    o.fccHandler = MakeFourCC('M', 'S', 'V', 'C');
    o.dwKeyFrameEvery = 20;
    o.dwQuality = 6500;
    o.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    BITMAPINFOHEADER b{};
    b.biSize = 40;
    b.biWidth = kW;
    b.biHeight = kH;
    b.biPlanes = 1;
    b.biBitCount = 24;
    b.biSizeImage = static_cast<std::uint32_t>(static_cast<std::size_t>(platform::media::DibStride(kW, 24)) * kH);
    bool ok = AVIFileCreateStream(file, &stream, info) == AVIERR_OK &&
              AVIMakeCompressedStream(&compressed, stream, o) == AVIERR_OK &&
              AVIStreamSetFormat(compressed, 0, &b, sizeof b) == AVIERR_OK;
    for (int i = 0; ok && i < seconds * kRate; ++i) {
        const std::vector<std::uint8_t> dib = ToDib(DesktopFrame(i));
        ok = AVIStreamWrite(compressed, i, 1, dib.data(), static_cast<long>(dib.size()), 0) == AVIERR_OK;
    }
    if (compressed) AVIStreamRelease(compressed);
    if (stream) AVIStreamRelease(stream);
    AVIFileRelease(file);
    return ok;
}

void WriteTone(const std::string& path, int seconds) {
    const std::uint32_t rate = 22050, frames = rate * static_cast<std::uint32_t>(seconds), bytes = frames * 2;
    std::ofstream f(path, std::ios::binary);
    auto le32 = [&](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [&](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4), le32(36 + bytes), f.write("WAVEfmt ", 8), le32(16);
    le16(1), le16(1), le32(rate), le32(rate * 2), le16(2), le16(16);
    f.write("data", 4), le32(bytes);
    for (std::uint32_t i = 0; i < frames; ++i)
        le16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / rate))));
}

// Runs a program to its end, discarding its output.
bool RunToEnd(const std::vector<std::string>& argv) {
    auto child = platform::SystemProcessLauncher().Start(argv, {}, nullptr);
    if (!child) return false;
    char buffer[4096];
    while (child->Read(buffer, sizeof buffer)) {
    }
    return child->Terminate(std::chrono::seconds(60)).Succeeded();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    const std::string binDir = RZ_BENCH_BIN_DIR "/";
    const fs::path dir = fs::temp_directory_path() / ("rz-convert-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    struct RemoveOnExit {
        fs::path path;
        ~RemoveOnExit() { fs::remove_all(path); }
    } removeOnExit{dir};
    const std::string avi = (dir / "temp.avi").string(), wav = (dir / "temp.wav").string();

    std::printf("Making a %d s recording, %dx%d at %d fps, with sound...\n", seconds, kW, kH, kRate);
    std::fflush(stdout);
    if (!WriteRecording(avi, seconds)) return std::fprintf(stderr, "cannot write %s\n", avi.c_str()), 1;
    WriteTone(wav, seconds);
    std::printf("recording: %.1f MB video, %.1f MB sound\n", fs::file_size(avi) / 1e6, fs::file_size(wav) / 1e6);

    finishing::CProgessDlg::Create(kW, kH);
    std::mutex mutex;
    std::vector<Clock::time_point> positions;
    finishing::CProgessDlg::Instance()->Messages().On(finishing::PBM_SETPOS, [&](platform::WPARAM w, platform::LPARAM) {
        std::lock_guard lock(mutex);
        if (w > 0 && w < 100) positions.push_back(Clock::now());
        return platform::LRESULT{0};
    });
    platform::SetMessageBoxHook([](const platform::MessageBoxRequest&) { return platform::IDOK; });

    finishing::ConvertJob job;
    job.programFolder = binDir;
    job.tempAviPath = avi;
    job.tempWavPath = wav;
    job.outputPath = (dir / "ours.mp4").string();
    job.videoType = 102;
    job.recordAudio = 1;
    job.recordedSeconds = seconds;

    // ffmpeg alone, with what the converter would ask of it for the recorder's line.
    const std::int32_t bitRate = finishing::VideoBitRate(finishing::ProbeBitrate(job));
    const finishing::ConverterCommand line =
        finishing::ConvertCommand({102, true, binDir, avi, wav, bitRate, job.outputPath});
    transmux::Request request;
    std::string error;
    if (!transmux::ParseCommandLine(std::vector<std::string>(line.argv.begin() + 1, line.argv.end()), &request, &error))
        return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    const std::vector<std::string> alone = transmux::ConvertArgs(request, {}, (dir / "alone.mp4").string());

    // Rounds of both, each on its own copy of the recording (the worker deletes what it used);
    // the quickest round of each counts.
    const std::string keptAvi = (dir / "kept.avi").string(), keptWav = (dir / "kept.wav").string();
    fs::copy_file(avi, keptAvi);
    fs::copy_file(wav, keptWav);
    double aloneSeconds = 1e9, aloneCpu = 1e9, oursSeconds = 1e9, oursCpu = 1e9, progressPerSecond = 1e9;
    for (int round = 0; round < rounds; ++round) {
        fs::copy_file(keptAvi, avi, fs::copy_options::overwrite_existing);
        fs::copy_file(keptWav, wav, fs::copy_options::overwrite_existing);
        double cpu = ChildCpuSeconds();
        auto start = Clock::now();
        if (!RunToEnd(alone)) return std::fprintf(stderr, "ffmpeg alone failed\n"), 1;
        const double a1 = Seconds(Clock::now() - start), c1 = ChildCpuSeconds() - cpu;
        std::printf("round %d: ffmpeg alone %.1f s (%.1f s CPU)\n", round + 1, a1, c1);
        std::fflush(stdout);

        // Ours: the worker as the recorder runs it, while this thread serves the bar's messages.
        {
            std::lock_guard lock(mutex);
            positions.clear();
        }
        QEventLoop loop;
        cpu = ChildCpuSeconds();
        start = Clock::now();
        std::thread worker([&] {
            finishing::ConvertThreadProc(job);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
        const double o1 = Seconds(Clock::now() - start), c2 = ChildCpuSeconds() - cpu;
        QCoreApplication::processEvents();
        if (!fs::exists(job.outputPath)) return std::fprintf(stderr, "our conversion failed\n"), 1;
        fs::remove(job.outputPath);
        double perSecond = 0;
        {
            std::lock_guard lock(mutex);
            if (positions.size() > 1)
                perSecond = (positions.size() - 1) / Seconds(positions.back() - positions.front());
        }
        std::printf("round %d: ours %.1f s (%.1f s CPU), %.1f bar positions per second\n", round + 1, o1, c2,
                    perSecond);
        std::fflush(stdout);
        aloneSeconds = std::min(aloneSeconds, a1), aloneCpu = std::min(aloneCpu, c1);
        oursSeconds = std::min(oursSeconds, o1), oursCpu = std::min(oursCpu, c2);
        progressPerSecond = std::min(progressPerSecond, perSecond);
    }
    std::printf("convert %dx%d %ds mp4: ours_s=%.2f ffmpeg_s=%.2f ratio=%.3f ours_cpu_s=%.2f ffmpeg_cpu_s=%.2f "
                "cpu_ratio=%.3f progress_per_s=%.1f\n",
                kW, kH, seconds, oursSeconds, aloneSeconds, oursSeconds / aloneSeconds, oursCpu, aloneCpu,
                oursCpu / aloneCpu, progressPerSecond);
    return 0;
}
