// Builders of small WAV and MOD images for the sound tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace soundtest {

inline void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
}
inline void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
inline void putTag(std::vector<uint8_t>& v, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(tag[i]));
}

// A RIFF WAVE image; `extra` goes behind the 16 format bytes (its size word included by caller).
inline std::vector<uint8_t> wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                const std::vector<uint8_t>& data, uint16_t blockAlign = 0,
                                const std::vector<uint8_t>& extra = {},
                                const std::vector<uint8_t>& between = {})
{
    std::vector<uint8_t> v;
    putTag(v, "RIFF");
    put32(v, 0);
    putTag(v, "WAVE");
    putTag(v, "fmt ");
    put32(v, static_cast<uint32_t>(16 + extra.size()));
    put16(v, tag);
    put16(v, channels);
    put32(v, rate);
    if (!blockAlign)
        blockAlign = static_cast<uint16_t>(channels * bits / 8);
    put32(v, rate * blockAlign);
    put16(v, blockAlign);
    put16(v, bits);
    v.insert(v.end(), extra.begin(), extra.end());
    v.insert(v.end(), between.begin(), between.end());
    putTag(v, "data");
    put32(v, static_cast<uint32_t>(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

struct ModSample
{
    std::vector<int8_t> data;
    int volume = 64;
    int finetune = 0;
    int loopStartWords = 0;
    int loopLengthWords = 0;
};

// A MOD image with `patterns` empty patterns; cells are set with cell().
struct Mod
{
    int tracks = 4;
    std::vector<uint8_t> bytes;

    Mod(int trackCount, const std::vector<int>& orders, int patterns,
        const std::vector<ModSample>& samples, const char* signature = "M.K.", int restart = 127)
        : tracks(trackCount)
    {
        bytes.assign(1084 + static_cast<size_t>(patterns) * 256 * tracks, 0);
        std::memcpy(bytes.data(), "test song", 9);
        for (size_t k = 0; k < samples.size(); ++k) {
            uint8_t* h = bytes.data() + 20 + 30 * k;
            const ModSample& s = samples[k];
            size_t words = s.data.size() / 2;
            h[22] = static_cast<uint8_t>(words >> 8);
            h[23] = static_cast<uint8_t>(words);
            h[24] = static_cast<uint8_t>(s.finetune & 15);
            h[25] = static_cast<uint8_t>(s.volume);
            h[26] = static_cast<uint8_t>(s.loopStartWords >> 8);
            h[27] = static_cast<uint8_t>(s.loopStartWords);
            h[28] = static_cast<uint8_t>(s.loopLengthWords >> 8);
            h[29] = static_cast<uint8_t>(s.loopLengthWords);
        }
        bytes[950] = static_cast<uint8_t>(orders.size());
        bytes[951] = static_cast<uint8_t>(restart);
        for (size_t i = 0; i < orders.size(); ++i)
            bytes[952 + i] = static_cast<uint8_t>(orders[i]);
        std::memcpy(bytes.data() + 1080, signature, 4);
        for (const ModSample& s : samples)
            for (size_t i = 0; i < s.data.size() / 2 * 2; ++i)
                bytes.push_back(static_cast<uint8_t>(s.data[i]));
    }

    void cell(int pattern, int row, int track, int sample, int period, int effect, int param)
    {
        uint8_t* c =
            bytes.data() + 1084 + ((static_cast<size_t>(pattern) * 64 + row) * tracks + track) * 4;
        c[0] = static_cast<uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
        c[1] = static_cast<uint8_t>(period);
        c[2] = static_cast<uint8_t>(((sample & 0x0F) << 4) | effect);
        c[3] = static_cast<uint8_t>(param);
    }
};

} // namespace soundtest
