// A song loaded from a MOD file: an owned copy of the image the MOD player reads directly.
#pragma once

#include <cstddef>
#include <cstdint>

// The effect of a MOD cell (the low nibble of its third byte) and the parameter's x and y
// nibbles; effect 14 picks its command by x.
enum sndEffect : int {
    sndFxArpeggio = 0,
    sndFxPortaUp = 1,
    sndFxPortaDown = 2,
    sndFxTonePorta = 3,
    sndFxVibrato = 4,
    sndFxTonePortaSlide = 5, // tone portamento going on, with a volume slide
    sndFxVibratoSlide = 6,   // vibrato going on, with a volume slide
    sndFxTremolo = 7,        // not played
    sndFxPanning = 8,        // not played
    sndFxSampleOffset = 9,
    sndFxVolumeSlide = 10,
    sndFxPositionJump = 11,
    sndFxSetVolume = 12,
    sndFxPatternBreak = 13,
    sndFxExtended = 14,
    sndFxSpeed = 15,
};

// The commands of sndFxExtended that the player knows.
enum sndExtendedEffect : int {
    sndFxPatternLoop = 6,
    sndFxFineVolumeUp = 10,
    sndFxFineVolumeDown = 11,
    sndFxNoteCut = 12,
    sndFxNoteDelay = 13,
    sndFxPatternDelay = 14,
};

class sndMusic
{
  public:
    sndMusic() = default;
    virtual ~sndMusic();
    sndMusic(const sndMusic&) = delete;
    sndMusic& operator=(const sndMusic&) = delete;

    // 0, or -10 (null/no memory) or -100 (unknown signature, or the file is shorter than its
    // patterns and samples say).
    int Load(const uint8_t* bytes, size_t size);
    void Free();
    // Track count from the 4 signature bytes, 0 when unknown.
    static int GetChannelCount(const uint8_t* signature);
    int GetChannelCount() const { return data ? GetChannelCount(data + 1080) : 0; }

    uint8_t* data = nullptr;
    size_t size = 0;
    int volume = 64;
    uint8_t loop = 0;
    int separation = 255;
    uint32_t rate = 44100;
    uint32_t rateFactor = 44100;
    uint8_t ownsData = 0;
};
