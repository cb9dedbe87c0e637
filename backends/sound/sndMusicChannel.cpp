#include "sound/sndMusicChannel.h"

#include "sound/sndMixSpan.h"
#include "sound/sndMusic.h"
#include "sound/sndSpeaker.h"
#include "sound/sndTables.h"

namespace {

int be16(const uint8_t* p)
{
    return (p[0] << 8) | p[1];
}

} // namespace

uint32_t sndMusicChannel::stepOf(int period) const
{
    // Periods beyond the table (the lowest notes of negative finetune rows) use its last entry.
    if (period < 1)
        return 0;
    return speaker->Step(period > sndMaxPeriod ? sndMaxPeriod : period);
}

int sndMusicChannel::tableAt(int index) const
{
    const int last = sndFinetuneRows * sndNotesPerRow - 1;
    return sndPeriodTable()[index < 0 ? 0 : (index > last ? last : index)];
}

void sndMusicChannel::updateEffective(Track& t) const
{
    t.effectiveVolume = t.volume * effectiveSongVolume.load(std::memory_order_relaxed) >> 6;
}

void sndMusicChannel::setVolume(int v)
{
    int vol = v < 0 ? 0 : (v < 64 ? v : 64);
    // Every track's volume changes, so the mixing must not run half-way through.
    speaker->Lock();
    songVolume = vol;
    effectiveSongVolume = vol * speaker->MasterMusicVolume() >> 6;
    for (int i = 0; i < tracks; ++i)
        updateEffective(track[i]);
    speaker->Unlock();
}

void sndMusicChannel::setPan(int v)
{
    int sep = v < 0 ? 0 : (v < 255 ? v : 255);
    // d runs from 0 (full separation: pans 64 and 192) to 64 (none: every track in the
    // middle, 128, so that one track alone sounds equally loud on both sides).
    int d = ((255 - sep) * 64 + 127) / 255;
    speaker->Lock();
    separation = sep;
    for (int i = 0; i < 32; ++i)
        track[i].pan = (i % 2 == 0) ? d + 64 : 192 - d;
    speaker->Unlock();
}

int sndMusicChannel::getPosition()
{
    speaker->Lock();
    const int position = order * 64 + rowOffset / tracks;
    speaker->Unlock();
    return position;
}

void sndMusicChannel::setPosition(int v)
{
    int o = v >> 6;
    if (o < 0 || o + 1 > songLength)
        return;
    speaker->Lock();
    order = o;
    pattern = song[952 + o];
    rowOffset = (v & 63) * tracks;
    ending = false;
    speaker->Unlock();
}

int sndMusicChannel::getLength()
{
    return songLength * 64;
}

bool sndMusicChannel::start(const sndMusic& music)
{
    const int count = music.GetChannelCount();
    if (!music.data || count < 1 || count > 32 || music.data[950] == 0)
        return false;
    song = music.data;
    tracks = count;
    songLength = song[950];
    patternBase = song + 1084;
    int patterns = 0;
    for (int i = 0; i < songLength; ++i)
        patterns = song[952 + i] > patterns ? song[952 + i] : patterns;
    const int8_t* sampleData = reinterpret_cast<const int8_t*>(
        patternBase + static_cast<size_t>(tracks) * 256 * (patterns + 1));
    samples[0] = Sample{};
    for (int k = 1; k <= 31; ++k) {
        const uint8_t* h = song + 20 + 30 * (k - 1);
        const uint32_t words = static_cast<uint32_t>(be16(h + 22));
        uint32_t loopStart = static_cast<uint32_t>(be16(h + 26)) * 2;
        uint32_t loopLength = static_cast<uint32_t>(be16(h + 28)) * 2;
        Sample& s = samples[k];
        s = Sample{};
        const uint32_t bytes = words * 2;
        // A loop reaching past its sample is cut back to the sample's end.
        if (words <= 1 || loopLength <= 2 || loopStart >= bytes)
            loopLength = 0;
        else if (loopStart + loopLength > bytes)
            loopLength = bytes - loopStart;
        s.length = bytes << 12;
        s.loopStart = loopLength ? loopStart << 12 : 0;
        s.loopLength = loopLength << 12;
        if (bytes) {
            s.data = sampleData;
            s.finetune = h[24] & 0x0F;
        }
        s.volume = h[25];
        sampleData += bytes;
    }
    rateFactorInput = music.rateFactor;
    tickRate = 50;
    rateChanged = 1;
    sampleCounter = 0;
    speed = 6;
    tickCounter = 6;
    order = 0;
    rowOffset = 0;
    pattern = song[952];
    restartOrder = (song[951] == 127 || song[951] >= songLength) ? 0 : song[951];
    jumpOrder = kNone;
    patternDelay = 0;
    ending = false;
    for (int i = 0; i < 32; ++i) {
        Track& t = track[i];
        t = Track{};
    }
    setPan(music.separation < 0 ? 0 : music.separation);
    loop = music.loop;
    setVolume(music.volume < 0 ? 0 : music.volume);
    stopped = 0;
    paused = 0;
    return true;
}

void sndMusicChannel::processRow()
{
    const uint8_t* row = patternBase + (static_cast<size_t>(pattern) * 64 * tracks + rowOffset) * 4;
    for (int i = 0; i < tracks; ++i)
        processCell(track[i], row + i * 4);
}

void sndMusicChannel::processCell(Track& t, const uint8_t* c)
{
    const int sample = (c[0] & 0xF0) | (c[2] >> 4);
    const int period = ((c[0] & 0x0F) << 8) | c[1];
    t.effect = c[2] & 0x0F;
    t.param = c[3];
    t.x = c[3] >> 4;
    t.y = c[3] & 0x0F;
    const int p = t.param;
    // Only a volume written by this row brings the effective volume back: a note cut stays
    // silent through rows that leave the volume alone.
    bool volumeChanged = false;
    if (sample != 0 && sample <= 31) {
        t.sample = sample;
        t.volume = samples[sample].volume;
        volumeChanged = true;
    }
    const Sample& s = samples[t.sample];
    const bool noteDelay = t.effect == sndFxExtended && t.x == sndFxNoteDelay;
    if (period != 0 && t.effect != sndFxTonePorta && t.effect != sndFxTonePortaSlide &&
        !noteDelay) {
        t.position = 0;
        t.noteIndex = speaker->PeriodToNote(period) + s.finetune * sndNotesPerRow;
        t.period = tableAt(t.noteIndex);
    }
    if (t.sample)
        t.step = stepOf(t.period);
    switch (t.effect) {
    case sndFxArpeggio:
        if (p != 0) {
            t.arpCounter = 0;
            t.arpSteps[0] = stepOf(t.period);
            t.arpSteps[1] = stepOf(tableAt(t.noteIndex + t.x));
            t.arpSteps[2] = stepOf(tableAt(t.noteIndex + t.y));
        }
        break;
    case sndFxPortaUp:
    case sndFxPortaDown:
        t.portaPeriod = t.period;
        break;
    case sndFxTonePorta:
        if (period != 0)
            t.portaTarget = tableAt(s.finetune * sndNotesPerRow + speaker->PeriodToNote(period));
        else if (t.portaTarget == 0)
            t.portaTarget = tableAt(t.noteIndex);
        if (p != 0)
            t.portaSpeed = p;
        break;
    case sndFxVibrato:
        if (p != 0) {
            t.vibPos = 0;
            t.vibSpeed = t.x;
            t.vibDepth = t.y;
        }
        break;
    case sndFxSampleOffset:
        if (p != 0)
            t.offsetMemory = static_cast<uint32_t>(p) * 256;
        t.position = static_cast<uint64_t>(t.offsetMemory) << 12;
        break;
    case sndFxPositionJump:
        if (loop || p > order) {
            jumpOrder = static_cast<uint32_t>(p);
            jumpRowOffset = 0;
        } else {
            jumpOrder = static_cast<uint32_t>(songLength);
        }
        break;
    case sndFxSetVolume:
        t.volume = p;
        volumeChanged = true;
        break;
    case sndFxPatternBreak: {
        // Rows past the pattern's end start the next pattern at its top.
        int row = t.x * 10 + t.y;
        if (row > 63)
            row = 0;
        if (order + 1 < songLength) {
            jumpOrder = static_cast<uint32_t>(order + 1);
            jumpRowOffset = row * tracks;
        } else if (loop) {
            jumpOrder = static_cast<uint32_t>(restartOrder);
            jumpRowOffset = row * tracks;
        } else {
            jumpOrder = static_cast<uint32_t>(songLength);
        }
        break;
    }
    case sndFxExtended:
        switch (t.x) {
        case sndFxPatternLoop:
            if (t.y == 0) {
                t.loopRow = rowOffset;
            } else {
                bool jump;
                if (t.loopCounter == 0) {
                    t.loopCounter = t.y;
                    jump = true;
                } else {
                    jump = --t.loopCounter != 0;
                }
                if (jump) {
                    jumpOrder = static_cast<uint32_t>(order);
                    jumpRowOffset = t.loopRow;
                }
            }
            break;
        case sndFxFineVolumeUp:
            t.volume = t.volume + t.y > 64 ? 64 : t.volume + t.y;
            volumeChanged = true;
            break;
        case sndFxFineVolumeDown:
            t.volume = t.volume - t.y < 0 ? 0 : t.volume - t.y;
            volumeChanged = true;
            break;
        case sndFxNoteCut:
            t.cutCounter = t.y;
            break;
        case sndFxNoteDelay:
            t.delayCounter = t.y - 1;
            t.delayedPeriod = period;
            break;
        case sndFxPatternDelay:
            patternDelay = t.y;
            break;
        default:
            break;
        }
        break;
    case sndFxSpeed:
        if (p > 32) {
            tickRate = p * 2 / 5;
            rateChanged = 1;
        } else if (p >= 1) {
            speed = p;
        }
        break;
    case sndFxTonePortaSlide:
    case sndFxVibratoSlide:
    case sndFxVolumeSlide:
        t.slide = p == 0 ? 0 : (t.x == 0 ? -t.y : t.x);
        break;
    default:
        break;
    }
    if (volumeChanged)
        updateEffective(t);
}

void sndMusicChannel::advanceSong()
{
    if (jumpOrder == kNone) {
        const bool lastRow = rowOffset / tracks == 63;
        rowOffset += tracks;
        if (lastRow) {
            ++order;
            rowOffset = 0;
            if (order >= songLength) {
                if (!loop) {
                    // The row just read still plays; the song ends where the next would be read.
                    ending = true;
                    return;
                }
                order = restartOrder;
            }
        }
        pattern = song[952 + order];
        return;
    }
    if (jumpOrder >= static_cast<uint32_t>(songLength)) {
        jumpOrder = kNone;
        ending = true;
        return;
    }
    order = static_cast<int>(jumpOrder);
    rowOffset = jumpRowOffset;
    pattern = song[952 + order];
    jumpOrder = kNone;
}

void sndMusicChannel::slideVolume(Track& t)
{
    t.volume += t.slide;
    if (t.volume < 0) {
        t.volume = 0;
        t.effectiveVolume = 0;
        return;
    }
    if (t.volume > 64)
        t.volume = 64;
    updateEffective(t);
}

void sndMusicChannel::tickEffects(Track& t)
{
    switch (t.effect) {
    case sndFxArpeggio:
        if (t.param != 0) {
            t.arpCounter = t.arpCounter == 2 ? 0 : t.arpCounter + 1;
            t.step = t.arpSteps[t.arpCounter];
        }
        break;
    case sndFxPortaUp:
        t.portaPeriod -= t.param;
        if (t.portaPeriod < sndMinPeriod)
            t.portaPeriod = sndMinPeriod;
        t.period = t.portaPeriod;
        t.step = stepOf(t.period);
        break;
    case sndFxPortaDown:
        t.portaPeriod += t.param;
        if (t.portaPeriod > sndMaxPeriod)
            t.portaPeriod = sndMaxPeriod;
        t.period = t.portaPeriod;
        t.step = stepOf(t.period);
        break;
    case sndFxTonePorta:
    case sndFxTonePortaSlide:
        if (t.portaTarget != 0) {
            if (t.period > t.portaTarget) {
                t.period -= t.portaSpeed;
                if (t.period < t.portaTarget)
                    t.period = t.portaTarget;
            } else if (t.period < t.portaTarget) {
                t.period += t.portaSpeed;
                if (t.period > t.portaTarget)
                    t.period = t.portaTarget;
            }
            t.step = stepOf(t.period);
        }
        if (t.effect == sndFxTonePortaSlide)
            slideVolume(t);
        break;
    case sndFxVolumeSlide:
        slideVolume(t);
        break;
    case sndFxVibrato:
    case sndFxVibratoSlide: {
        int q = t.vibPos;
        int pitch = q < 32 ? t.period + t.vibDepth * sndVibratoTable[q] / 128
                           : t.period - t.vibDepth * sndVibratoTable[q - 32] / 128;
        t.step = stepOf(pitch);
        t.vibPos += t.vibSpeed;
        if (t.vibPos > 63)
            t.vibPos -= 64;
        if (t.effect == sndFxVibratoSlide)
            slideVolume(t);
        break;
    }
    case sndFxExtended:
        if (t.x == sndFxNoteCut) {
            if (t.cutCounter != 0)
                --t.cutCounter;
            if (t.cutCounter == 0)
                t.effectiveVolume = 0;
        } else if (t.x == sndFxNoteDelay) {
            if (t.delayCounter == -1) {
                t.period = t.delayedPeriod;
                t.step = stepOf(t.period);
                t.delayCounter = static_cast<int32_t>(kNone);
            } else if (t.delayCounter != static_cast<int32_t>(kNone)) {
                --t.delayCounter;
            }
        }
        break;
    default:
        break;
    }
}

void sndMusicChannel::updateSamplesPerTick(int outputRate)
{
    const uint64_t factor = (static_cast<uint64_t>(rateFactorInput) * 256 * sndRateScale) >> 47;
    const uint64_t divisor = static_cast<uint64_t>(tickRate) * factor;
    samplesPerTick =
        divisor ? static_cast<uint32_t>(((static_cast<uint64_t>(outputRate) << 16) / divisor) >> 8)
                : 0;
    rateChanged = 0;
}

uint32_t sndMusicChannel::quietSamples() const
{
    if (tickCounter == speed || sampleCounter >= samplesPerTick)
        return 0;
    return samplesPerTick - sampleCounter;
}

bool sndMusicChannel::clockEvent()
{
    if (tickCounter == speed) {
        if (patternDelay != 0) {
            --patternDelay;
        } else if (ending) {
            stopped = 1;
            paused = 0;
            return false;
        } else {
            processRow();
            advanceSong();
        }
        tickCounter = 0;
        return true;
    }
    ++tickCounter;
    sampleCounter = 0;
    if (tickCounter != speed)
        for (int i = 0; i < tracks; ++i)
            tickEffects(track[i]);
    return true;
}

uint32_t sndMusicChannel::mixBlock(int outputRate, bool stereoOutput, sndPackedSum* sums,
                                   uint32_t frames)
{
    uint32_t done = 0;
    while (done < frames) {
        if (rateChanged)
            updateSamplesPerTick(outputRate);
        uint32_t run = quietSamples();
        if (run == 0) {
            if (!clockEvent())
                return done;
            run = 1;
        } else {
            run = run < frames - done ? run : frames - done;
            sampleCounter += run;
        }
        mixTracks(stereoOutput, sums + done, run);
        done += run;
    }
    return done;
}

sndPackedSum sndMusicChannel::factorOf(const Track& t, bool stereoOutput)
{
    const int32_t v = t.effectiveVolume;
    // Stereo: the sample value doubled, the pan's share to the right.
    const int32_t u = v * t.pan >> 8;
    return stereoOutput ? sndPack(2 * (v - u), 2 * u) : sndPack(v, 0);
}

void sndMusicChannel::mixTracks(bool stereoOutput, sndPackedSum* sums, uint32_t frames)
{
    // Tracks go in pairs that share one pass over the sums, in runs that stop where the first of
    // the two wraps or ends; a track without a partner, or outside its sample (or past its loop's
    // end), mixes on its own.
    Track* pending = nullptr;
    for (int i = 0; i < tracks; ++i) {
        if (!samples[track[i].sample].data)
            continue;
        if (!pending) {
            pending = &track[i];
            continue;
        }
        mixTrackPair(*pending, track[i], stereoOutput, sums, frames);
        pending = nullptr;
    }
    if (pending)
        mixTrack(*pending, stereoOutput, sums, frames);
}

bool sndMusicChannel::runBound(Track& t, uint64_t& bound) const
{
    const Sample& s = samples[t.sample];
    const uint64_t loopEnd = static_cast<uint64_t>(s.loopStart) + s.loopLength;
    uint64_t p = t.position;
    if (s.loopLength && p >= loopEnd)
        p -= s.loopLength;
    bound = s.loopLength ? loopEnd : s.length;
    if (p >= bound)
        return false;
    t.position = p;
    return true;
}

void sndMusicChannel::mixTrackPair(Track& a, Track& b, bool stereoOutput, sndPackedSum* sums,
                                   uint32_t frames)
{
    const sndPackedSum factorA = factorOf(a, stereoOutput);
    const sndPackedSum factorB = factorOf(b, stereoOutput);
    const int8_t* dataA = samples[a.sample].data;
    const int8_t* dataB = samples[b.sample].data;
    uint32_t done = 0;
    while (done < frames) {
        uint64_t boundA, boundB;
        // A track in any other state goes on alone for the rest of the block (mixTrack sees
        // the position as it was, so the wrap is not made twice).
        const uint64_t before = a.position;
        if (!runBound(a, boundA)) {
            mixTrack(a, stereoOutput, sums + done, frames - done);
            mixTrack(b, stereoOutput, sums + done, frames - done);
            return;
        }
        if (!runBound(b, boundB)) {
            a.position = before;
            mixTrack(a, stereoOutput, sums + done, frames - done);
            mixTrack(b, stereoOutput, sums + done, frames - done);
            return;
        }
        uint32_t run = sndFramesBefore(a.position, boundA, a.step, frames - done);
        run = sndFramesBefore(b.position, boundB, b.step, run);
        sndAddMusicSpanPair(dataA, dataB, a.position, b.position, a.step, b.step, factorA, factorB,
                            sums + done, run);
        done += run;
    }
}

void sndMusicChannel::mixTrack(Track& t, bool stereoOutput, sndPackedSum* sums, uint32_t frames)
{
    const Sample& s = samples[t.sample];
    const uint64_t loopEnd = static_cast<uint64_t>(s.loopStart) + s.loopLength;
    const sndPackedSum factor = factorOf(t, stereoOutput);
    uint32_t done = 0;
    while (done < frames) {
        if (s.loopLength && t.position >= loopEnd)
            t.position -= s.loopLength;
        if (t.position >= s.length) {
            if (!s.loopLength)
                return; // the sample has ended and its position stays
            ++done;     // still beyond the sample: it comes back one loop length a sample
            continue;
        }
        // Runs stop where the loop wraps or the sample ends; a position between the loop's end
        // and the sample's end plays one sample and wraps.
        uint32_t run = 1;
        if (!s.loopLength)
            run = sndFramesBefore(t.position, s.length, t.step, frames - done);
        else if (t.position < loopEnd)
            run = sndFramesBefore(t.position, loopEnd, t.step, frames - done);
        sndAddMusicSpan(s.data, t.position, t.step, factor, sums + done, run);
        done += run;
    }
}
