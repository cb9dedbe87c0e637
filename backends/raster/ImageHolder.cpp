#include "raster/ImageHolder.h"

void DestroyImage(ImageHolder* image)
{
    if (!image)
        return;
    delete image->surface;
    if (image->secondSurface != image->surface)
        delete image->secondSurface;
    delete image;
}
