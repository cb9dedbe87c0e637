// Files, read-only file mappings and the program's own file name. Paths are platform paths with
// "\" separators; the layer maps them to POSIX paths ("\" <-> "/", see PathMapping).
// Sharing modes are accepted and not enforced. Every call on 0, INVALID_HANDLE_VALUE, a closed
// handle or a handle of another kind fails with ERROR_INVALID_HANDLE.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <string>

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define PAGE_READONLY 0x02
#define FILE_MAP_READ 0x0004

#define ERROR_TOO_MANY_OPEN_FILES 4
#define ERROR_WRITE_FAULT 29
#define ERROR_READ_FAULT 30
#define ERROR_FILE_EXISTS 80
#define ERROR_FILENAME_EXCED_RANGE 206

struct SECURITY_ATTRIBUTES;

// Opening for writing never follows a symbolic link at the end of the name: it fails with
// ERROR_INVALID_NAME and leaves the link's target as it is.
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
// Loops over interrupted and partial transfers; 0 bytes read means end of file.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
// Succeeds only when every byte is written.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* overlapped);
// With distanceHigh null the position must stay within 0 .. 2 GiB - 1, otherwise
// INVALID_SET_FILE_POINTER with ERROR_NEGATIVE_SEEK; with it, a 64-bit position >= 0.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL FlushFileBuffers(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL DeleteFileW(LPCWSTR name);

HANDLE CreateFileForMappingW(LPCWSTR name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                             DWORD disposition, DWORD flags, HANDLE templateFile);
// Read-only mappings of a whole file or a part; an empty file fails with ERROR_FILE_INVALID.
// A view is a private copy of the file's bytes (a file truncated by someone else while mapped
// cannot fault the reader); UnmapViewOfFile frees it.
HANDLE CreateFileMappingW(HANDLE file, SECURITY_ATTRIBUTES* security, DWORD protect, DWORD sizeHigh,
                          DWORD sizeLow, LPCWSTR name);
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, DWORD bytes);
BOOL UnmapViewOfFile(LPCVOID view);

// The program's full file name in platform form ("\opt\game\pallasterhorn"). Copies at most
// size - 1 units and a terminator; returns size with ERROR_INSUFFICIENT_BUFFER when it truncates.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

namespace platform {
// The program file as a POSIX path: the profile's override or the executable's real path.
std::string programFilePosix();
// Whether the program file can be given to the program; otherwise `problem` says why (a
// folder holding "\" or a name that is not UTF-8 cannot be mapped). Checked once at start.
bool checkProgramFile(std::string* problem);
// Views made by MapViewOfFile and not yet unmapped.
size_t openViewCount();
} // namespace platform
