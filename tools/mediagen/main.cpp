// mediagen OUTDIR: writes every shipped media file (see media_set.h).

#include "tools/mediagen/media_set.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("usage: mediagen OUTDIR\n\nWrites OUTDIR/%s/ (the media archive's files) and OUTDIR/%s/ "
                    "(the loader images and bitmaps).\n",
                    kMediaFolderName, kResourceFolderName);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "Error: usage: mediagen OUTDIR\n");
        return 2;
    }
    return GenerateMedia(argv[1]) ? 0 : 1;
}
