// The end every image decoder's job shares: a decoded job hands its holder, with the surface in
// it, to the caller; either way the job is released (by the decoder's own release(Job*), found
// through the job's namespace).
#pragma once

#include "raster/ImageHolder.h"

template <class Job> ImageHolder* finishDecodeJob(Job* job, bool decoded)
{
    ImageHolder* holder = nullptr;
    if (decoded) {
        holder = job->holder;
        holder->surface = job->surface;
        job->holder = nullptr;
        job->surface = nullptr;
    }
    release(job);
    return holder;
}
