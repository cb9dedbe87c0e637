// Wave audio output of the handheld API. Two back-ends: SDL2 audio (the default) and a manual
// device that tests pump buffer by buffer on a thread of their choice.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>

struct HWAVEOUT__;
typedef HWAVEOUT__* HWAVEOUT;
typedef UINT MMRESULT;
typedef uintptr_t DWORD_PTR;

#define MMSYSERR_NOERROR 0u
#define MMSYSERR_ERROR 1u
#define MMSYSERR_BADDEVICEID 2u
#define MMSYSERR_ALLOCATED 4u
#define MMSYSERR_INVALHANDLE 5u
#define MMSYSERR_NODRIVER 6u
#define MMSYSERR_NOMEM 7u
#define MMSYSERR_INVALPARAM 11u
#define WAVERR_BADFORMAT 32u
#define WAVERR_STILLPLAYING 33u
#define WAVERR_UNPREPARED 34u

#define WAVE_FORMAT_PCM 1
#define CALLBACK_NULL 0x00000000u
#define CALLBACK_FUNCTION 0x00030000u
#define CALLBACK_TYPEMASK 0x00070000u

#define WOM_OPEN 955u
#define WOM_CLOSE 956u
#define WOM_DONE 957u

#define WHDR_DONE 0x1u
#define WHDR_PREPARED 0x2u
#define WHDR_INQUEUE 0x10u

#define TIME_MS 1u
#define TIME_BYTES 4u

struct WAVEFORMATEX
{
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};

struct WAVEHDR
{
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

struct MMTIME
{
    UINT wType;
    union {
        DWORD ms;
        DWORD cb;
        DWORD sample;
    } u;
};

typedef void (*WAVEOUTPROC)(HWAVEOUT h, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                            DWORD_PTR param2);

UINT waveOutGetNumDevs();
MMRESULT waveOutOpen(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
MMRESULT waveOutClose(HWAVEOUT h);
MMRESULT waveOutPrepareHeader(HWAVEOUT h, WAVEHDR* header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT h, WAVEHDR* header, UINT size);
MMRESULT waveOutWrite(HWAVEOUT h, WAVEHDR* header, UINT size);
MMRESULT waveOutPause(HWAVEOUT h);
MMRESULT waveOutRestart(HWAVEOUT h);
MMRESULT waveOutReset(HWAVEOUT h);
MMRESULT waveOutGetPosition(HWAVEOUT h, MMTIME* time, UINT size);

// Devices opened from now on play through the device profile's audio choice (PH_AUDIO,
// DeviceProfile::audio). The manual device's controls are in platform/testing/ManualWaveOut.h.
