#include "ffmpeg_args.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace transmux {

namespace {

struct Codecs {
    const char* format;
    const char* video;
    const char* audio;
};

Codecs CodecsOf(OutputKind kind) {
    switch (kind) {
        case OutputKind::Mp4: return {"mp4", "libx264", "aac"};
        case OutputKind::Wmv: return {"asf", "wmv2", "wmav2"};
        case OutputKind::Flv: return {"flv", "flv1", "libmp3lame"};
        case OutputKind::Swf: return {"swf", "flv1", "libmp3lame"};
        case OutputKind::Mpeg1: return {"mpeg", "mpeg1video", "mp2"};
        case OutputKind::Mpeg2: return {"vob", "mpeg2video", "mp2"};
    }
    return {"mp4", "libx264", "aac"};
}

double Fraction(const std::string& text) {
    const std::size_t slash = text.find('/');
    const double num = std::atof(text.c_str());
    if (slash == std::string::npos) return num;
    const double den = std::atof(text.c_str() + slash + 1);
    return den > 0 ? num / den : 0;
}

// Names go to the file protocol whatever they look like ("pipe:", "http:", a leading '-').
std::string FileUrl(const std::string& path) { return "file:" + path; }

}  // namespace

std::vector<std::string> ProbeArgs(const std::string& input) {
    return {"ffprobe", "-v", "error", "-show_entries", "format=bit_rate:stream=codec_type,avg_frame_rate",
            "-of", "default=noprint_wrappers=1", FileUrl(input)};
}

InputInfo ParseProbeOutput(const std::string& text) {
    InputInfo info;
    std::istringstream lines(text);
    std::string line;
    bool video = false;
    while (std::getline(lines, line)) {
        if (line.rfind("codec_type=", 0) == 0) {
            video = line == "codec_type=video" && info.frameRate == 0;
        } else if (line.rfind("avg_frame_rate=", 0) == 0) {
            if (video) info.frameRate = Fraction(line.substr(15));
            video = false;
        } else if (line.rfind("bit_rate=", 0) == 0) {
            info.bitRate = std::atol(line.c_str() + 9);
        }
    }
    return info;
}

std::string BitrateLine(std::size_t index, const std::string& input, const InputInfo& info) {
    return "Input #" + std::to_string(index) + ", " + input +
           ": bitrate: " + std::to_string(std::lround(info.bitRate / 1000.0)) + " kb/s";
}

int MpegFrameRate(double inputRate) {
    for (int rate : {24, 25, 30, 50})
        if (inputRate <= rate) return rate;
    return 60;
}

std::vector<std::string> ConvertArgs(const Request& request, const InputInfo& video, const std::string& target) {
    const Codecs codecs = CodecsOf(request.kind);
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-v", "error", "-nostats",
                                  "-progress", "pipe:1", "-stats_period", "0.25", "-y"};
    for (const std::string& input : request.inputs) a.insert(a.end(), {"-i", FileUrl(input)});
    a.insert(a.end(), {"-map", "0:v:0"});
    if (request.WithSound()) a.insert(a.end(), {"-map", "1:a:0"});
    else a.push_back("-an");
    // Chroma is stored at half size: every encoder here wants even frame sizes.
    a.insert(a.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", codecs.video, "-pix_fmt", "yuv420p"});
    if (request.videoBitrate && *request.videoBitrate > 0)
        a.insert(a.end(), {"-b:v", std::to_string(*request.videoBitrate)});
    if (request.kind == OutputKind::Mpeg1 || request.kind == OutputKind::Mpeg2)
        a.insert(a.end(), {"-r", std::to_string(MpegFrameRate(video.frameRate))});
    if (request.WithSound()) {
        a.insert(a.end(), {"-c:a", codecs.audio});
        if (auto bits = request.AudioBitsPerSecond()) a.insert(a.end(), {"-b:a", std::to_string(*bits)});
        if (request.sampleRate) a.insert(a.end(), {"-ar", std::to_string(*request.sampleRate)});
    }
    if (request.kind == OutputKind::Mp4) a.insert(a.end(), {"-movflags", "+faststart"});
    a.insert(a.end(), {"-f", codecs.format, FileUrl(target)});
    return a;
}

}  // namespace transmux
