#include "platform/media/avi_repair.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace platform::media {

namespace {

struct InputCloser {
    void operator()(AVFormatContext* fmt) const { avformat_close_input(&fmt); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct OutputCloser {
    void operator()(AVFormatContext* fmt) const {
        if (fmt && fmt->pb) avio_closep(&fmt->pb);
        avformat_free_context(fmt);
    }
};
using Output = std::unique_ptr<AVFormatContext, OutputCloser>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

Input OpenInput(const std::string& path) {
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    Input input(fmt);
    if (avformat_find_stream_info(fmt, nullptr) < 0) return nullptr;
    return input;
}

bool Remux(AVFormatContext* in, const std::string& target) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "avi", target.c_str()) < 0) return false;
    Output out(raw);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(raw, nullptr);
        if (!stream || avcodec_parameters_copy(stream->codecpar, in->streams[i]->codecpar) < 0) return false;
        stream->time_base = in->streams[i]->time_base;
        stream->avg_frame_rate = in->streams[i]->avg_frame_rate;
        stream->r_frame_rate = in->streams[i]->r_frame_rate;
    }
    if (avio_open(&raw->pb, target.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(raw, nullptr) < 0) return false;
    Packet packet(av_packet_alloc());
    if (!packet) return false;
    // A file cut short ends with a partial packet: reading stops there.
    while (av_read_frame(in, packet.get()) >= 0) {
        const AVStream* from = in->streams[packet->stream_index];
        av_packet_rescale_ts(packet.get(), from->time_base, raw->streams[packet->stream_index]->time_base);
        packet->pos = -1;
        if (av_interleaved_write_frame(raw, packet.get()) < 0) return false;
    }
    if (av_write_trailer(raw) < 0) return false;
    const bool ioError = raw->pb->error < 0;
    avio_closep(&raw->pb);
    return !ioError;
}

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutLe32(std::fstream& file, std::streamoff at, std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char(value >> 8 & 0xFF), char(value >> 16 & 0xFF), char(value >> 24)};
    file.seekp(at);
    file.write(bytes, 4);
}

}  // namespace

bool WriteAviWithIndex(const std::string& path, const std::string& target) {
    Input in = OpenInput(path);
    if (!in) return false;
    if (!Remux(in.get(), target)) {
        std::remove(target.c_str());
        return false;
    }
    return true;
}

bool RewriteAviWithIndex(const std::string& path) {
    const std::string temp = path + ".part";
    if (!WriteAviWithIndex(path, temp)) return false;
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

double VideoSeconds(const std::string& path) {
    Input in = OpenInput(path);
    if (!in) return -1;
    const int index = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) return -1;
    const AVStream* stream = in->streams[index];
    if (stream->duration > 0) return stream->duration * av_q2d(stream->time_base);
    // No length in the file: the last packet's end.
    std::int64_t end = 0;
    Packet packet(av_packet_alloc());
    while (packet && av_read_frame(in.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && packet->pts != AV_NOPTS_VALUE)
            end = std::max<std::int64_t>(end, packet->pts + std::max<std::int64_t>(packet->duration, 1));
        av_packet_unref(packet.get());
    }
    return end * av_q2d(stream->time_base);
}

bool CompleteWaveSizes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || st.st_size < 12) return false;
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char head[12];
    if (!file.read(reinterpret_cast<char*>(head), 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return false;
    std::uint64_t at = 12;
    while (at + 8 <= fileSize) {
        unsigned char chunk[8];
        file.seekg(static_cast<std::streamoff>(at));
        if (!file.read(reinterpret_cast<char*>(chunk), 8)) return false;
        const std::uint32_t size = Le32(chunk + 4);
        const std::uint64_t room = fileSize - (at + 8);
        if (std::memcmp(chunk, "data", 4) == 0) {
            (void)size;  // whatever it says, the data runs to the end of the file
            const auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(room, 0xFFFFFFFFu - at - 16));
            PutLe32(file, static_cast<std::streamoff>(at + 4), data);
            PutLe32(file, 4, static_cast<std::uint32_t>(at + data));
            return static_cast<bool>(file.flush());
        }
        if (size > room) return false;
        at += 8 + size + (size & 1);
    }
    return false;
}

}  // namespace platform::media
