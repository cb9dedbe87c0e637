// modrender: turns a MOD or WAV file into a WAV file through the game's own sound library.
#include "Renderer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char kUsage[] =
    "usage: modrender [options] input.mod|input.wav output.wav\n"
    "Plays a MOD or WAV file through the game's own loader, MOD player and mixer into a WAV\n"
    "file. The output ends where the song or sound ends; a song that jumps back to an earlier\n"
    "order repeats until the time limit.\n"
    "options:\n"
    "  --rate HZ           output rate, 8000 to 192000 (default 44100)\n"
    "  --bits 8|16         output sample size (default 16)\n"
    "  --mono              one output channel instead of two\n"
    "  --separation 0-255  stereo separation of a song's tracks (default 255; 0 plays\n"
    "                      every track in the middle)\n"
    "  --seconds MAX       time limit in seconds (default 600)\n"
    "  --volume 0-64       master music and sound volume (default 64; the game's levels\n"
    "                      low, normal and high are 21, 42 and 64)\n"
    "  --overlay FILE@S    also play the WAV file FILE from S seconds on (repeatable)\n"
    "  --help              this text\n";

bool readFile(const char* name, std::vector<uint8_t>& bytes)
{
    std::ifstream f(name, std::ios::binary);
    if (!f) {
        std::fprintf(stderr, "modrender: cannot read %s\n", name);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    modrender::Options o;
    const char* in = nullptr;
    const char* out = nullptr;
    for (int i = 1; i < argc; ++i) {
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--rate")) {
            const char* v = value();
            if (!v)
                return usage();
            o.rate = std::atoi(v);
        } else if (!std::strcmp(argv[i], "--bits")) {
            const char* v = value();
            if (!v)
                return usage();
            o.bits = std::atoi(v);
        } else if (!std::strcmp(argv[i], "--mono")) {
            o.stereo = 0;
        } else if (!std::strcmp(argv[i], "--separation")) {
            const char* v = value();
            if (!v)
                return usage();
            o.separation = std::atoi(v);
        } else if (!std::strcmp(argv[i], "--seconds")) {
            const char* v = value();
            if (!v)
                return usage();
            o.maxSeconds = std::atof(v);
        } else if (!std::strcmp(argv[i], "--volume")) {
            const char* v = value();
            if (!v)
                return usage();
            o.volume = std::atoi(v);
            if (o.volume < 0 || o.volume > 64)
                return usage();
        } else if (!std::strcmp(argv[i], "--overlay")) {
            const char* v = value();
            const char* at = v ? std::strrchr(v, '@') : nullptr;
            if (!at)
                return usage();
            modrender::Overlay overlay;
            overlay.atSeconds = std::atof(at + 1);
            const std::string name(v, static_cast<size_t>(at - v));
            if (!readFile(name.c_str(), overlay.file))
                return 1;
            o.overlays.push_back(std::move(overlay));
        } else if (!in) {
            in = argv[i];
        } else if (!out) {
            out = argv[i];
        } else {
            return usage();
        }
    }
    if (!in || !out || (o.bits != 8 && o.bits != 16) || o.rate < 8000 || o.rate > 192000)
        return usage();
    std::vector<uint8_t> bytes;
    if (!readFile(in, bytes))
        return 1;
    // The PCM goes to the file as it is made, after a header whose sizes are written once the
    // length is known.
    std::ofstream w(out, std::ios::binary);
    if (!w) {
        std::fprintf(stderr, "modrender: cannot write %s\n", out);
        return 1;
    }
    auto write = [&w](const uint8_t* data, size_t size) {
        w.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    };
    const auto blank = modrender::wavHeader(0, o);
    write(blank.data(), blank.size());
    size_t pcmBytes = 0;
    auto r = modrender::renderTo(bytes, o, [&](const uint8_t* data, size_t size) {
        write(data, size);
        pcmBytes += size;
    });
    if (r.code != 0) {
        w.close();
        std::remove(out);
        std::fprintf(stderr, "modrender: %s: %s (code %d)\n", in, r.error.c_str(), r.code);
        return 1;
    }
    const auto header = modrender::wavHeader(pcmBytes, o);
    w.seekp(0);
    write(header.data(), header.size());
    w.close();
    if (!w) {
        std::fprintf(stderr, "modrender: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
