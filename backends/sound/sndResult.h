// The sound library's integer results: 0 for success, a channel number for a started sound or
// song, or one of the failure codes below (always negative).
#pragma once

constexpr int sndErrArgument = -1;       // bad arguments, or no audio device
constexpr int sndErrAlreadyOpen = -2;    // the speaker or driver is open already
constexpr int sndErrNotOpen = -3;        // the driver is not open
constexpr int sndErrNoThread = -4;       // the feeder thread could not start
constexpr int sndErrNoDriverMemory = -5; // no memory for the driver
constexpr int sndErrNoData = -10;        // no memory, or no data
constexpr int sndErrFormat = -100;       // a format the loader does not take
constexpr int sndErrNoFmtChunk = -300;   // a WAV file without a "fmt " chunk
constexpr int sndErrCannotPlay = -1000;  // a play request that cannot be served
