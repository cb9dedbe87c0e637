// Renders a MOD or WAV file through the sound library's loader, player and mixer into PCM,
// without an audio device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modrender {

struct Options
{
    int rate = 44100;
    int bits = 16;
    int stereo = 1;
    int separation = 255;
    double maxSeconds = 600; // a looping or endless song stops here
};

struct Result
{
    int code = 0; // 0, or the loader's code
    std::string error;
    std::vector<uint8_t> pcm;
};

// Input kind by content: "RIFF" is a WAV, anything else a MOD.
Result render(const std::vector<uint8_t>& file, const Options& options);
// A canonical 44-byte-header WAV file of the given PCM.
std::vector<uint8_t> wavFile(const std::vector<uint8_t>& pcm, const Options& options);

} // namespace modrender
