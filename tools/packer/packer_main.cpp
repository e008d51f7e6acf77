// packer <folder> <archive>: writes a resource archive of every file below the folder.
#include "app/ResourceFileManager.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: packer <folder> <archive>\n");
        return 2;
    }
    std::string error;
    if (!WriteResourceArchive(argv[1], argv[2], error)) {
        std::fprintf(stderr, "packer: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
