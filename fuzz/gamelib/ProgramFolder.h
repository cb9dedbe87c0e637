// What the game library's fuzz targets share: a program folder of their own whose plain files
// stand in for the archive (no archive is opened, so every lookup falls back to them), the
// screen globals, and the check that only the exceptions a reader may raise leave it.
#pragma once

#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace fuzzsupport {

// A new folder named prefix-XXXXXX, in memory when the system allows (/dev/shm), else in /tmp.
std::string temporaryFolder(const std::string& prefix);
// Made at the first call, with the device profile's program file inside it; removed at exit.
const std::string& programFolder();
// A plain file of the program folder; name as the game names it ("/img/all.txt").
void writeFile(const std::string& name, const uint8_t* data, size_t size);
void writeFile(const std::string& name, const std::string& bytes);
// A PNG of w x h pixels of one colour (0xRRGGBB).
std::string png(int w, int h, uint32_t rgb);
// A screen of the given size: the game library's size globals and a screen graphics over a
// blank image.
void useScreen(int32_t width, int32_t height);
// Deletes e when its code is one of the allowed ones; aborts (a finding) for any other.
void expectOnly(qev::lang::DExceptionBase* e, std::initializer_list<int32_t> allowed);
// Big-endian integers of the input, 0 past its end.
uint32_t readBigEndian32(const uint8_t* data, size_t size, size_t at);

} // namespace fuzzsupport
