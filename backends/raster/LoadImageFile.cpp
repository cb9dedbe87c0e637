#include "raster/ImageDecoder.h"
#include "raster/MappedFile.h"

ImageHolder* LoadImageFile(LPCWSTR path)
{
    MappedFile file;
    if (!file.open(path))
        return nullptr;
    return DecodeImage(file.begin(), file.end());
}
