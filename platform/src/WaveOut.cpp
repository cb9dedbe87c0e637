#include "platform/waveout.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/ManualWaveOut.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

using platform::AudioMode;

AudioMode chosenAudio()
{
    return platform::DeviceProfile::current().audio;
}

struct Device;

// The devices now open and the manual device's settings, under one lock.
struct OpenDevices
{
    std::mutex lock;
    std::set<Device*> devices;
    platform::ManualWaveOutConfig manual;
    size_t manualOpens = 0;
};

OpenDevices& openDevices()
{
    static auto* r = new OpenDevices;
    return *r;
}

struct Device
{
    AudioMode audio = AudioMode::Sdl;
    WAVEFORMATEX format{};
    WAVEOUTPROC callback = nullptr;
    DWORD_PTR instance = 0;
    SDL_AudioDeviceID sdl = 0;
    std::mutex lock;
    std::deque<WAVEHDR*> queue;
    size_t headOffset = 0;
    bool paused = false;
    uint64_t playedBytes = 0;

    HWAVEOUT handle() { return reinterpret_cast<HWAVEOUT>(this); }

    void notify(UINT message, DWORD_PTR param)
    {
        if (callback)
            callback(handle(), message, instance, param, 0);
    }

    // Copies up to n bytes from the queue; finished headers are collected for WOM_DONE, which
    // is sent after the lock is dropped so that the callback may call back into the device.
    size_t play(uint8_t* out, size_t n, bool oneHeader)
    {
        std::vector<WAVEHDR*> done;
        size_t taken = 0;
        {
            std::lock_guard<std::mutex> g(lock);
            while (!paused && !queue.empty() && taken < n) {
                WAVEHDR* h = queue.front();
                size_t left = h->dwBufferLength - headOffset;
                size_t chunk = std::min(left, n - taken);
                if (out)
                    std::memcpy(out + taken, h->lpData + headOffset, chunk);
                taken += chunk;
                headOffset += chunk;
                playedBytes += chunk;
                if (headOffset == h->dwBufferLength) {
                    h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
                    queue.pop_front();
                    headOffset = 0;
                    done.push_back(h);
                    if (oneHeader)
                        break;
                }
            }
        }
        if (out && taken < n)
            std::memset(out + taken, format.wBitsPerSample == 8 ? 0x80 : 0, n - taken);
        for (WAVEHDR* h : done)
            notify(WOM_DONE, reinterpret_cast<DWORD_PTR>(h));
        return taken;
    }
};

Device* lookup(HWAVEOUT h)
{
    auto& r = openDevices();
    std::lock_guard<std::mutex> g(r.lock);
    auto* d = reinterpret_cast<Device*>(h);
    return r.devices.count(d) ? d : nullptr;
}

void sdlCallback(void* user, Uint8* stream, int len)
{
    static_cast<Device*>(user)->play(stream, static_cast<size_t>(len), false);
}

// SDL is initialised once; a failure is remembered so that a machine without audio answers
// quickly with no devices.
bool sdlAudioReady()
{
    static const bool ready = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        // Close whatever the program left open before SDL goes away at exit.
        std::atexit([] {
            std::vector<Device*> open;
            {
                auto& r = openDevices();
                std::lock_guard<std::mutex> g(r.lock);
                open.assign(r.devices.begin(), r.devices.end());
            }
            for (Device* d : open)
                if (d->sdl)
                    SDL_CloseAudioDevice(d->sdl);
        });
        return SDL_GetCurrentAudioDriver() != nullptr;
    }();
    return ready;
}

bool formatValid(const WAVEFORMATEX* f)
{
    if (f->wFormatTag != WAVE_FORMAT_PCM || f->nChannels < 1 || f->nChannels > 2)
        return false;
    if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16)
        return false;
    if (f->nSamplesPerSec < 8000 || f->nSamplesPerSec > 192000)
        return false;
    return f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8 &&
           f->nAvgBytesPerSec == f->nSamplesPerSec * f->nBlockAlign;
}

} // namespace

namespace platform {

void setManualWaveOutConfig(const ManualWaveOutConfig& config)
{
    auto& r = openDevices();
    std::lock_guard<std::mutex> g(r.lock);
    r.manual = config;
    r.manualOpens = 0;
}

size_t manualWaveOutOpenAttempts()
{
    auto& r = openDevices();
    std::lock_guard<std::mutex> g(r.lock);
    return r.manualOpens;
}

size_t manualWaveOutPump(HWAVEOUT h, void* out, size_t bytes)
{
    Device* d = lookup(h);
    return d ? d->play(static_cast<uint8_t*>(out), bytes, false) : 0;
}

size_t manualWaveOutPumpBuffer(HWAVEOUT h, void* out, size_t capacity)
{
    Device* d = lookup(h);
    if (!d)
        return 0;
    size_t length;
    {
        std::lock_guard<std::mutex> g(d->lock);
        if (d->paused || d->queue.empty())
            return 0;
        length = d->queue.front()->dwBufferLength - d->headOffset;
    }
    if (out && capacity < length)
        return 0;
    return d->play(static_cast<uint8_t*>(out), length, true);
}

HWAVEOUT manualWaveOutDevice()
{
    auto& r = openDevices();
    std::lock_guard<std::mutex> g(r.lock);
    for (Device* d : r.devices)
        if (d->audio == AudioMode::Manual)
            return d->handle();
    return nullptr;
}

size_t manualWaveOutQueued(HWAVEOUT h)
{
    Device* d = lookup(h);
    if (!d)
        return 0;
    std::lock_guard<std::mutex> g(d->lock);
    return d->queue.size();
}

bool manualWaveOutPaused(HWAVEOUT h)
{
    Device* d = lookup(h);
    if (!d)
        return false;
    std::lock_guard<std::mutex> g(d->lock);
    return d->paused;
}

} // namespace platform

UINT waveOutGetNumDevs()
{
    if (chosenAudio() == AudioMode::Manual) {
        auto& r = openDevices();
        std::lock_guard<std::mutex> g(r.lock);
        return r.manual.deviceCount;
    }
    return sdlAudioReady() ? 1 : 0;
}

MMRESULT waveOutOpen(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags)
{
    if (!handle || !format)
        return MMSYSERR_INVALPARAM;
    DWORD type = flags & CALLBACK_TYPEMASK;
    if (type != CALLBACK_FUNCTION && type != CALLBACK_NULL)
        return MMSYSERR_INVALPARAM;
    if (!formatValid(format))
        return WAVERR_BADFORMAT;
    if (device >= waveOutGetNumDevs())
        return MMSYSERR_BADDEVICEID;
    auto d = std::make_unique<Device>();
    d->audio = chosenAudio();
    d->format = *format;
    d->callback = type == CALLBACK_FUNCTION ? reinterpret_cast<WAVEOUTPROC>(callback) : nullptr;
    d->instance = instance;
    if (d->audio == AudioMode::Manual) {
        auto& r = openDevices();
        std::lock_guard<std::mutex> g(r.lock);
        ++r.manualOpens;
        if (r.manual.refuseAllFormats || (device == 0 && r.manual.failDeviceZero) ||
            format->nSamplesPerSec == r.manual.refusedRate ||
            format->nChannels == r.manual.refusedChannels)
            return WAVERR_BADFORMAT;
    } else {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format->nSamplesPerSec);
        want.format = format->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = static_cast<Uint8>(format->nChannels);
        Uint16 samples = 64;
        while (samples < format->nSamplesPerSec / 100)
            samples = static_cast<Uint16>(samples * 2);
        want.samples = samples;
        want.callback = sdlCallback;
        want.userdata = d.get();
        {
            auto& r = openDevices();
            std::lock_guard<std::mutex> g(r.lock);
            r.devices.insert(d.get());
        }
        d->sdl = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (d->sdl == 0) {
            auto& r = openDevices();
            std::lock_guard<std::mutex> g(r.lock);
            r.devices.erase(d.get());
            return MMSYSERR_NODRIVER;
        }
        SDL_PauseAudioDevice(d->sdl, 0);
    }
    {
        auto& r = openDevices();
        std::lock_guard<std::mutex> g(r.lock);
        r.devices.insert(d.get());
    }
    Device* raw = d.release();
    *handle = raw->handle();
    raw->notify(WOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT h)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<std::mutex> g(d->lock);
        if (!d->queue.empty())
            return WAVERR_STILLPLAYING;
    }
    {
        auto& r = openDevices();
        std::lock_guard<std::mutex> g(r.lock);
        r.devices.erase(d);
    }
    if (d->sdl)
        SDL_CloseAudioDevice(d->sdl); // joins SDL's audio thread
    d->notify(WOM_CLOSE, 0);
    delete d;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT h, WAVEHDR* header, UINT)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!header || !header->lpData || header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(d->lock);
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT h, WAVEHDR* header, UINT)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!header)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(d->lock);
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT h, WAVEHDR* header, UINT)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!header)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(d->lock);
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    d->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

namespace {

MMRESULT setPaused(HWAVEOUT h, bool paused)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> g(d->lock);
    d->paused = paused;
    return MMSYSERR_NOERROR;
}

} // namespace

MMRESULT waveOutPause(HWAVEOUT h)
{
    return setPaused(h, true);
}

MMRESULT waveOutRestart(HWAVEOUT h)
{
    return setPaused(h, false);
}

MMRESULT waveOutReset(HWAVEOUT h)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    std::deque<WAVEHDR*> done;
    {
        std::lock_guard<std::mutex> g(d->lock);
        d->paused = true;
        done.swap(d->queue);
        d->headOffset = 0;
        d->playedBytes = 0;
        for (WAVEHDR* hd : done)
            hd->dwFlags = (hd->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    }
    for (WAVEHDR* hd : done)
        d->notify(WOM_DONE, reinterpret_cast<DWORD_PTR>(hd));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT h, MMTIME* time, UINT)
{
    Device* d = lookup(h);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!time)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(d->lock);
    if (time->wType == TIME_MS) {
        time->u.ms = static_cast<DWORD>(d->playedBytes * 1000 / d->format.nAvgBytesPerSec);
    } else {
        time->wType = TIME_BYTES;
        time->u.cb = static_cast<DWORD>(d->playedBytes);
    }
    return MMSYSERR_NOERROR;
}
