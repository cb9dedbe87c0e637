#include "platform/MappedFile.h"
#include "raster/ImageDecoder.h"

ImageHolder* LoadImageFile(LPCWSTR path)
{
    platform::MappedFile file;
    if (!file.open(path))
        return nullptr;
    return DecodeImage(file.begin(), file.end());
}
