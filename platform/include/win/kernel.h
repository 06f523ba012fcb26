#pragma once
// kernel32: modules and resources, files, global memory, atoms, code page 932
// and locale-aware comparison, and the little arithmetic the library asks of it.

#include "types.h"

// Errors reported through GetLastError.
#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_SHARING_VIOLATION 32
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_DISK_FULL 112
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_NEGATIVE_SEEK 131
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define ERROR_CONTROL_ID_NOT_FOUND 1421

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

// Modules. The program is the only module; 0 names it.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// Resources: the set embedded in the executable at build time.
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL resourceData);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
BOOL WINAPI FreeResource(HGLOBAL resourceData);

// Copies string resource `id` into `buffer` (at most size - 1 bytes and a
// terminating zero) and returns the bytes copied, 0 when there is no such string.
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// Files.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER (static_cast<DWORD>(-1))

struct SECURITY_ATTRIBUTES;

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          SECURITY_ATTRIBUTES* securityAttributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile);
// Files are read and written synchronously here: the overlapped record is
// never looked at, and only named.
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped);
DWORD WINAPI SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh,
                            DWORD moveMethod);
BOOL WINAPI CloseHandle(HANDLE object);
BOOL WINAPI DeleteFileA(LPCSTR fileName);

// Global memory. Movable blocks are addressed through their handle and
// reached with GlobalLock.
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
SIZE_T WINAPI GlobalSize(HGLOBAL memory);
HGLOBAL WINAPI GlobalHandle(LPCVOID memory);

// Atoms: a string table shared by the process, counted per AddAtom.
ATOM WINAPI GlobalAddAtomA(LPCSTR name);
ATOM WINAPI GlobalFindAtomA(LPCSTR name);
ATOM WINAPI GlobalDeleteAtom(ATOM atom);
UINT WINAPI GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size);
#define MAKEINTATOM(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))

// Process and thread.
DWORD WINAPI GetCurrentProcessId();
DWORD WINAPI GetCurrentThreadId();
DWORD WINAPI GetVersion();

// Code pages and locales. The system is Japanese: the ANSI code page is 932.
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define NORM_IGNORECASE 0x00000001
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

UINT WINAPI GetACP();
typedef WORD LANGID;
#define LANG_JAPANESE 0x11
#define PRIMARYLANGID(lang) (static_cast<WORD>(lang) & 0x3FF)
LANGID WINAPI GetSystemDefaultLangID();
LCID WINAPI GetUserDefaultLCID();
LCID WINAPI GetSystemDefaultLCID();
BOOL WINAPI IsDBCSLeadByte(BYTE testChar);
// Lower-cases a zero-terminated text in place, or one character given in the
// low word of the pointer; double-byte characters stay as they are.
LPSTR WINAPI CharLowerA(LPSTR text);
// The OEM code page is the ANSI one, 932, so the text is copied unchanged.
BOOL WINAPI OemToCharA(LPCSTR source, LPSTR destination);

// Compares two texts in code page 932 under `locale`; a negative length means
// zero-terminated. Returns CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN, 0 on
// failure.
int WINAPI CompareStringA(LCID locale, DWORD flags, LPCSTR string1, int count1, LPCSTR string2,
                          int count2);

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount,
                               WCHAR* wide, int wideCount);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int wideCount,
                               LPSTR multiByte, int multiByteCount, LPCSTR defaultChar,
                               BOOL* usedDefaultChar);

// number * numerator / denominator with a 64-bit intermediate, rounded half
// away from zero; -1 when the denominator is 0 or the result overflows 32 bits.
int WINAPI MulDiv(int number, int numerator, int denominator);
