// Mixing loops that take several frames a step where the processor can (AVX2): the same sums
// as the plain loops of sndMixSpan.h.
#pragma once

#include "sound/sndMixSpan.h"

// sndAddSoundSpan for a 16-bit stereo sound summed into the factor: with AVX2, at half the
// output rate (step 128), sixteen output frames from eight sound frames a step.
void sndAddSoundSpan16StereoSummed(const uint8_t* data, uint64_t& position, uint32_t step,
                                   sndPackedSum factor, sndPackedSum second, sndPackedSum* sums,
                                   uint32_t frames);

// sndWriteFrames for 16-bit stereo output: with AVX2 eight frames a step.
void sndWriteFrames16Stereo(int16_t* out, const sndPackedSum* music, const sndPackedSum* sound,
                            uint32_t frames);
