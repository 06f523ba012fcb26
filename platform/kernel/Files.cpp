// Files over POSIX descriptors, with Windows' sharing rules enforced among the
// handles this process holds.

#include "../core/Context.h"
#include "KernelState.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::Ctx;
using platform::Fail;
using platform::OpenFile;

namespace platform {
OpenFile::~OpenFile() {
    if (descriptor >= 0) {
        close(descriptor);
    }
}
} // namespace platform

namespace {

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
        return ERROR_DISK_FULL;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

OpenFile* FileOf(HANDLE file) {
    return Ctx().Kernel().files.Find(reinterpret_cast<std::uintptr_t>(file));
}

// Two opens of one file agree when each allows the other's access.
bool SharingAllows(const OpenFile& held, DWORD access, DWORD shareMode) {
    auto allowed = [](DWORD wantedAccess, DWORD share) {
        bool readOk = !(wantedAccess & GENERIC_READ) || (share & FILE_SHARE_READ);
        bool writeOk = !(wantedAccess & GENERIC_WRITE) || (share & FILE_SHARE_WRITE);
        return readOk && writeOk;
    };
    return allowed(access, held.shareMode) && allowed(held.access, shareMode);
}

bool SharingConflict(const struct stat& info, DWORD access, DWORD shareMode) {
    bool conflict = false;
    Ctx().Kernel().files.ForEach([&](std::uintptr_t, const OpenFile& held) {
        if (held.device == info.st_dev && held.inode == info.st_ino &&
            !SharingAllows(held, access, shareMode)) {
            conflict = true;
        }
    });
    return conflict;
}

int OpenFlags(DWORD access, DWORD disposition) {
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) {
        flags |= O_RDWR;
    } else if (access & GENERIC_WRITE) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    switch (disposition) {
    case CREATE_NEW:
        return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        return flags | O_CREAT;
    default:
        return flags;
    }
}

} // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES*,
                   DWORD creationDisposition, DWORD, HANDLE) {
    if (fileName == nullptr || fileName[0] == '\0' || creationDisposition < CREATE_NEW ||
        creationDisposition > TRUNCATE_EXISTING) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    // Sharing is checked before anything on disk changes, so a refused
    // CREATE_ALWAYS leaves the existing file as it was.
    struct stat existing {};
    if (stat(fileName, &existing) == 0 && SharingConflict(existing, desiredAccess, shareMode)) {
        return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    int descriptor = open(fileName, OpenFlags(desiredAccess, creationDisposition), 0666);
    if (descriptor < 0) {
        return Fail(ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    }
    auto file = std::make_unique<OpenFile>();
    file->descriptor = descriptor;
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    bool truncate =
        creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING;
    if (truncate && ftruncate(descriptor, 0) != 0) {
        return Fail(ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    }
    file->device = info.st_dev;
    file->inode = info.st_ino;
    file->access = desiredAccess;
    file->shareMode = shareMode;
    std::uintptr_t handle = Ctx().Kernel().files.Add(std::move(file));
    if (handle == 0) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, INVALID_HANDLE_VALUE);
    }
    return reinterpret_cast<HANDLE>(handle);
}

namespace {

// Moves up to `count` bytes, one system call of `step` at a time, going on
// after signals; stops at the end of the file. Returns the bytes moved and
// the failure of the last step, 0 when none failed.
template <class Step> DWORD TransferAll(DWORD count, Step step, int& failure) {
    DWORD total = 0;
    failure = 0;
    while (total < count) {
        ssize_t moved = step(total);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved < 0) {
            failure = errno;
        }
        if (moved <= 0) {
            break;
        }
        total += static_cast<DWORD>(moved);
    }
    return total;
}

// The open file behind `file` when it was opened for `access`; else sets the
// last error and gives null.
OpenFile* FileFor(HANDLE file, DWORD access) {
    OpenFile* open = FileOf(file);
    if (open == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, static_cast<OpenFile*>(nullptr));
    }
    if (!(open->access & access)) {
        return Fail(ERROR_ACCESS_DENIED, static_cast<OpenFile*>(nullptr));
    }
    return open;
}

} // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED) {
    if (bytesRead) {
        *bytesRead = 0;
    }
    OpenFile* open = FileFor(file, GENERIC_READ);
    if (open == nullptr) {
        return FALSE;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    int failure = 0;
    DWORD total = TransferAll(
        bytesToRead,
        [&](DWORD done) { return read(open->descriptor, out + done, bytesToRead - done); },
        failure);
    if (failure != 0) {
        return Fail(ErrorFromErrno(failure), FALSE);
    }
    if (bytesRead) {
        *bytesRead = total;
    }
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED) {
    if (bytesWritten) {
        *bytesWritten = 0;
    }
    OpenFile* open = FileFor(file, GENERIC_WRITE);
    if (open == nullptr) {
        return FALSE;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    int failure = 0;
    DWORD total = TransferAll(
        bytesToWrite,
        [&](DWORD done) { return write(open->descriptor, in + done, bytesToWrite - done); },
        failure);
    if (bytesWritten) {
        *bytesWritten = total;
    }
    // A write that moved fewer bytes than asked has failed, a full disk included.
    if (total < bytesToWrite) {
        return Fail(failure != 0 ? ErrorFromErrno(failure) : ERROR_DISK_FULL, FALSE);
    }
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
    OpenFile* open = FileOf(file);
    if (open == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
    }
    if (moveMethod > FILE_END) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    off_t distance =
        distanceToMoveHigh
            ? static_cast<off_t>((static_cast<std::uint64_t>(*distanceToMoveHigh) << 32) |
                                 static_cast<DWORD>(distanceToMove))
            : static_cast<off_t>(distanceToMove);
    // The target is computed first, so that a refused move leaves the position.
    off_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = lseek(open->descriptor, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat info {};
        base = fstat(open->descriptor, &info) == 0 ? info.st_size : -1;
    }
    if (base < 0) {
        return Fail(ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
    }
    if (base + distance < 0) {
        return Fail(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
    }
    off_t position = lseek(open->descriptor, base + distance, SEEK_SET);
    if (position < 0) {
        return Fail(ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
    }
    if (distanceToMoveHigh) {
        *distanceToMoveHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
    } else if (position > 0x7FFFFFFF) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

BOOL CloseHandle(HANDLE object) {
    if (!Ctx().Kernel().files.Remove(reinterpret_cast<std::uintptr_t>(object))) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    if (fileName == nullptr || unlink(fileName) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}
