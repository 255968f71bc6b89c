// mediapack DIR ARCHIVE: packs a media folder into a media archive, exactly as
// `fvtool rar pack` does (PackArchive: the folder entry named after DIR's last component,
// then one stored member per regular file, sorted by name).
//
// The build needs its own packer: fvtool links the resource table, and the resource table
// embeds the archive this program makes, so fvtool cannot be built before the archive is.
// This program is built from the archive writer's sources alone.

#include "core/archive_writer.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Error: usage: mediapack DIR ARCHIVE\n");
        return 1;
    }
    std::string error;
    if (PackFolder(argv[1], argv[2], error)) return 0;
    std::fprintf(stderr, "Error: %s\n", error.c_str());
    return 1;
}
