#include "platform/win/temp_file.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

bool CanHoldModules(const std::string& folder) {
    struct stat info {};
    struct statvfs volume {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::statvfs(folder.c_str(), &volume) == 0 &&
           (volume.f_flag & ST_NOEXEC) == 0;
}

}  // namespace

std::vector<std::string> ModuleTempFolders() {
    std::vector<std::string> folders;
    const char* temp = std::getenv("TMPDIR");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    for (const char* folder : {temp != nullptr && *temp != '\0' ? temp : "/tmp", runtime}) {
        if (folder != nullptr && *folder != '\0' && CanHoldModules(folder)) folders.emplace_back(folder);
    }
    return folders;
}

std::string WriteTempFile(const std::string& folder, const char* prefix, const void* data, std::size_t size) {
    std::string path = folder + "/" + prefix + "XXXXXX";
    // mkstemp creates the file exclusively with mode 0600.
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return {};
    FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path.c_str());
        return {};
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        ::unlink(path.c_str());
        return {};
    }
    return path;
}

BOOL DeleteFileA(LPCSTR path) { return path != nullptr && ::unlink(path) == 0 ? TRUE : FALSE; }
