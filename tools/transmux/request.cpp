#include "request.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace transmux {

namespace {

bool PositiveNumber(const std::string& text, long* value) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || v > INT_MAX) return false;
    *value = v;
    return true;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return Lower(path.substr(dot));
}

bool KindOf(const Request& r, OutputKind* kind, std::string* error) {
    const std::string ext = Extension(r.output);
    if (ext == ".mpg" || ext == ".mpeg") {
        if (r.videoCodec.empty() || r.videoCodec == "mpeg1video") *kind = OutputKind::Mpeg1;
        else if (r.videoCodec == "mpeg2video") *kind = OutputKind::Mpeg2;
        else {
            *error = "video codec " + r.videoCodec + " is not one of mpeg1video, mpeg2video";
            return false;
        }
        return true;
    }
    if (!r.videoCodec.empty()) {
        *error = "-vcodec is only taken for .mpg outputs";
        return false;
    }
    if (ext == ".mp4") *kind = OutputKind::Mp4;
    else if (ext == ".wmv") *kind = OutputKind::Wmv;
    else if (ext == ".flv") *kind = OutputKind::Flv;
    else if (ext == ".swf") *kind = OutputKind::Swf;
    else {
        *error = "output " + r.output + " has none of the extensions .mp4, .wmv, .flv, .swf, .mpg";
        return false;
    }
    return true;
}

}  // namespace

std::optional<long> Request::AudioBitsPerSecond() const {
    if (!audioBitrate) return std::nullopt;
    return *audioBitrate < 1000 ? *audioBitrate * 1000 : *audioBitrate;
}

bool ParseCommandLine(const std::vector<std::string>& args, Request* request, std::string* error) {
    Request r;
    auto refuse = [error](const std::string& why) {
        *error = why;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-y") {
            r.overwrite = true;
            continue;
        }
        const bool takesValue = a == "-i" || a == "-ab" || a == "-ar" || a == "-b" || a == "-vcodec";
        if (!takesValue) {
            if (!a.empty() && a[0] == '-') return refuse("unknown option " + a);
            if (i + 1 != args.size()) return refuse("the output file " + a + " must come last");
            r.output = a;
            continue;
        }
        if (i + 1 == args.size()) return refuse(a + " needs a value");
        const std::string& value = args[++i];
        long number = 0;
        if (a == "-i") {
            if (value.empty()) return refuse("empty input name");
            if (r.inputs.size() == 2) return refuse("more than two inputs");
            r.inputs.push_back(value);
        } else if (a == "-vcodec") {
            if (!r.videoCodec.empty()) return refuse("-vcodec given twice");
            r.videoCodec = value;
        } else if (!PositiveNumber(value, &number)) {
            return refuse(a + " needs a whole number, not " + value);
        } else {
            std::optional<long>& slot = a == "-ab" ? r.audioBitrate : a == "-ar" ? r.sampleRate : r.videoBitrate;
            if (slot) return refuse(a + " given twice");
            if (a == "-ar" && number == 0) return refuse("-ar needs a sample rate above 0");
            slot = number;
        }
    }
    if (r.inputs.empty()) return refuse("no input (-i)");
    if (r.output.empty()) {
        if (r.audioBitrate || r.sampleRate || r.overwrite || r.videoBitrate || !r.videoCodec.empty())
            return refuse("options without an output file");
    } else if (!KindOf(r, &r.kind, error)) {
        return false;
    }
    *request = std::move(r);
    return true;
}

}  // namespace transmux
