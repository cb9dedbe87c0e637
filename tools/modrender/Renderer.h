// Renders a MOD or WAV file through the sound library's loader, player and mixer into PCM,
// without an audio device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class sndMusic;

namespace modrender {

// A WAV sound started over the main input, as a game starts an effect over its music.
struct Overlay
{
    std::vector<uint8_t> file;
    double atSeconds = 0;
};

struct Options
{
    int rate = 44100;
    int bits = 16;
    int stereo = 1;
    int separation = 255;
    double maxSeconds = 600; // a song that repeats stops here
    int volume = 64;         // master music and sound volume, 0..64, as the game's level sets it
    std::vector<Overlay> overlays;
};

struct Result
{
    int code = 0; // 0, or the loader's code
    std::string error;
    std::vector<uint8_t> pcm;
};

// Takes the PCM as it is made, in pieces of whole frames.
using Sink = std::function<void(const uint8_t* bytes, size_t size)>;

// Input kind by content: "RIFF" is a WAV, anything else a MOD. The PCM ends exactly where the
// sound or song ends, or after maxSeconds (whichever comes first); a song that jumps back to an
// earlier order repeats until maxSeconds.
Result render(const std::vector<uint8_t>& file, const Options& options);
// As render, handing the PCM to `sink` piece by piece instead of keeping it (`pcm` stays empty).
Result renderTo(const std::vector<uint8_t>& file, const Options& options, const Sink& sink);
// Whether one of the song's orders holds a position jump to itself or an earlier order.
bool jumpsBack(const sndMusic& music);
// A canonical 44-byte-header WAV file of the given PCM.
std::vector<uint8_t> wavFile(const std::vector<uint8_t>& pcm, const Options& options);
// That file's 44-byte header for `pcmBytes` bytes of PCM.
std::vector<uint8_t> wavHeader(size_t pcmBytes, const Options& options);

} // namespace modrender
