#include "sound/sndSpeaker.h"

#include "sound/sndMixOutput.h"
#include "sound/sndMixWide.h"
#include "sound/sndMusic.h"
#include "sound/sndResult.h"
#include "sound/sndSound.h"
#include "sound/sndTables.h"
#include "sound/sndWinMM.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

sndSpeaker::~sndSpeaker()
{
    Close();
}

int sndSpeaker::Open(int rate, int bits, int stereo, int musicChannels, int soundChannels)
{
    if (m_open)
        return sndErrAlreadyOpen;
    auto* driver = new (std::nothrow) sndWinMM;
    if (!driver)
        return sndErrNoDriverMemory;
    return OpenWith(driver, rate, bits, stereo, musicChannels, soundChannels);
}

int sndSpeaker::OpenWith(sndDriver* driver, int rate, int bits, int stereo, int musicChannels,
                         int soundChannels)
{
    if (m_open) {
        delete driver;
        return sndErrAlreadyOpen;
    }
    if (rate <= 0) {
        // The step table divides by the rate; sndWinMM refuses such a rate the same way.
        delete driver;
        return sndErrArgument;
    }
    sndFormat format;
    format.rate = rate;
    format.flags = bits == 8 ? 0x21 : 0x12;
    format.channels = stereo == 1 ? 2 : 1;
    if (driver) {
        const int frames = static_cast<int>(static_cast<int64_t>(rate) * bufferingMs / 1000);
        int r = driver->Open(format, frames, FillCallback, this);
        if (r != 0) {
            delete driver;
            return r;
        }
    }
    m_driver = driver;
    m_rate = rate;
    m_16bit = (format.flags & 0x02) != 0;
    m_stereo = stereo == 1;
    buildTables();

    m_musicCount = musicChannels < 1 ? 1 : (musicChannels > 64 ? 64 : musicChannels);
    m_soundCount = soundChannels < 8 ? 8 : (soundChannels > 128 ? 128 : soundChannels);
    if (!allocateChannels()) {
        // The driver is already playing: close it before giving up.
        if (m_driver)
            m_driver->Close();
        freeAll();
        return sndErrNoData;
    }
    for (int i = 0; i < m_musicCount; ++i)
        m_music[i].speaker = this;
    for (int i = 0; i < m_soundCount; ++i)
        m_sound[i].speaker = this;
    m_masterMusic = 64;
    m_masterSound = 64;
    if (m_driver)
        m_driver->Resume();
    m_open = true;
    return 0;
}

bool sndSpeaker::allocateChannels()
{
    m_music = new (std::nothrow) sndMusicChannel[m_musicCount];
    m_activeMusic = new (std::nothrow) sndMusicChannel*[m_musicCount];
    m_sound = new (std::nothrow) sndSoundChannel[m_soundCount];
    m_activeSound = new (std::nothrow) sndSoundChannel*[m_soundCount];
    return m_music && m_activeMusic && m_sound && m_activeSound;
}

void sndSpeaker::freeAll()
{
    delete m_driver;
    m_driver = nullptr;
    delete[] m_music;
    delete[] m_activeMusic;
    delete[] m_sound;
    delete[] m_activeSound;
    m_music = nullptr;
    m_activeMusic = nullptr;
    m_sound = nullptr;
    m_activeSound = nullptr;
    m_musicCount = 0;
    m_soundCount = 0;
}

int sndSpeaker::Close()
{
    if (m_open) {
        if (m_driver)
            m_driver->Close();
        m_open = false;
    }
    freeAll();
    return 0;
}

void sndSpeaker::Lock()
{
    if (m_driver)
        m_driver->Lock();
}

void sndSpeaker::Unlock()
{
    if (m_driver)
        m_driver->Unlock();
}

void sndSpeaker::SetMasterVolumes(int music, int sound)
{
    m_masterMusic = music < 0 ? 0 : (music > 64 ? 64 : music);
    m_masterSound = sound < 0 ? 0 : (sound > 64 ? 64 : sound);
}

int sndSpeaker::PeriodToNote(int period) const
{
    if (period < 0)
        return m_periodToNote[0];
    return m_periodToNote[period > sndMaxPeriod ? sndMaxPeriod : period];
}

void sndSpeaker::buildTables()
{
    const uint16_t* row = sndPeriodTable();
    // Entry 0: the smallest non-zero period of the finetune-0 row, or the first zero one.
    int smallest = 0;
    for (int n = 0; n < sndNotesPerRow; ++n) {
        if (row[n] == 0) {
            smallest = n;
            break;
        }
        if (row[n] < row[smallest])
            smallest = n;
    }
    m_periodToNote[0] = static_cast<uint8_t>(smallest);
    m_step[0] = 0;
    for (int p = 1; p <= sndMaxPeriod; ++p) {
        int best = 0;
        int bestDistance = 1 << 30;
        for (int n = 0; n < sndNotesPerRow; ++n) {
            int d = row[n] > p ? row[n] - p : p - row[n];
            if (d < bestDistance) {
                bestDistance = d;
                best = n;
                if (d == 0)
                    break;
            }
        }
        m_periodToNote[p] = static_cast<uint8_t>(best);
        m_step[p] = static_cast<uint32_t>((static_cast<uint64_t>(sndAmigaClock / (2u * p)) << 12) /
                                          static_cast<uint64_t>(m_rate));
    }
}

int sndSpeaker::PlaySound(const sndSound& sound)
{
    if (!m_open || !sound.data)
        return sndErrCannotPlay;
    Lock();
    int chosen = -1;
    int busySame = 0;
    for (int i = 0; i < m_soundCount; ++i) {
        sndSoundChannel& c = m_sound[i];
        if (c.stopped && !c.paused) {
            chosen = i;
            if (sound.instanceLimit == -1)
                break;
        } else if (c.data == sound.data) {
            ++busySame;
        }
    }
    if (chosen >= 0 && sound.instanceLimit != -1 && busySame >= sound.instanceLimit)
        chosen = -1;
    if (chosen < 0) {
        Unlock();
        return sndErrCannotPlay;
    }
    sndSoundChannel& c = m_sound[chosen];
    c.start(sound);
    c.stopped = 0;
    c.paused = 0;
    Unlock();
    return m_musicCount + chosen;
}

int sndSpeaker::PlayMusic(const sndMusic& music)
{
    const int tracks = music.GetChannelCount();
    if (!m_open || !music.data || tracks == 0 || tracks > 32)
        return sndErrCannotPlay;
    Lock();
    int result = sndErrCannotPlay;
    for (int i = 0; i < m_musicCount; ++i) {
        sndMusicChannel& c = m_music[i];
        if (c.stopped && !c.paused) {
            if (c.start(music))
                result = i;
            break;
        }
    }
    Unlock();
    return result;
}

sndChannel* sndSpeaker::GetChannel(int index)
{
    if (index < 0 || index >= m_musicCount + m_soundCount)
        return nullptr;
    if (index < m_musicCount)
        return &m_music[index];
    return &m_sound[index - m_musicCount];
}

void sndSpeaker::FillCallback(void* context, void* buffer, uint32_t bytes)
{
    static_cast<sndSpeaker*>(context)->Mix(buffer, bytes);
}

void sndSpeaker::Mix(void* buffer, uint32_t bytes)
{
    int musicActive = 0;
    int soundActive = 0;
    for (int i = 0; i < m_musicCount; ++i)
        if (m_music[i].isActive())
            m_activeMusic[musicActive++] = &m_music[i];
    for (int i = 0; i < m_soundCount; ++i)
        if (m_sound[i].isActive())
            m_activeSound[soundActive++] = &m_sound[i];
    if (musicActive == 0 && soundActive == 0) {
        // Exactly the bytes asked for: a caller's buffer need not extend to a whole word.
        std::memset(buffer, m_16bit ? 0 : 0x80, bytes);
        return;
    }
    const uint32_t values = m_16bit ? bytes / 2 : bytes;
    const uint32_t frames = m_stereo ? values / 2 : values;
    for (uint32_t first = 0; first < frames; first += kBlockFrames) {
        const uint32_t n = std::min(kBlockFrames, frames - first);
        mixBlock(musicActive, soundActive, n);
        writeBlock(buffer, first, n);
    }
    // A value left over in a stereo buffer (an odd count of values), or the odd last byte of
    // 16-bit output, stays as it was.
}

void sndSpeaker::mixBlock(int musicActive, int soundActive, uint32_t frames)
{
    std::fill_n(m_musicSums, frames, 0);
    std::fill_n(m_soundSums, frames, 0);
    // A channel that ends within a block stops itself and adds nothing after its end.
    for (int i = 0; i < musicActive; ++i)
        if (!m_activeMusic[i]->stopped.load(std::memory_order_relaxed))
            m_activeMusic[i]->mixBlock(m_rate, m_stereo, m_musicSums, frames);
    for (int i = 0; i < soundActive; ++i)
        if (!m_activeSound[i]->stopped.load(std::memory_order_relaxed))
            m_activeSound[i]->mixBlock(m_rate, m_stereo, m_soundSums, frames);
}

void sndSpeaker::writeBlock(void* buffer, uint32_t first, uint32_t frames)
{
    const uint32_t at = m_stereo ? 2 * first : first;
    if (m_16bit) {
        int16_t* out = static_cast<int16_t*>(buffer) + at;
        if (m_stereo)
            sndWriteFrames16Stereo(out, m_musicSums, m_soundSums, frames);
        else
            sndWriteFrames<false>(out, m_musicSums, m_soundSums, frames, sndTo16);
    } else {
        uint8_t* out = static_cast<uint8_t*>(buffer) + at;
        if (m_stereo)
            sndWriteFrames<true>(out, m_musicSums, m_soundSums, frames, sndTo8);
        else
            sndWriteFrames<false>(out, m_musicSums, m_soundSums, frames, sndTo8);
    }
}
