// block_probe FILE: writes the first 21 bytes of the shared block, as this second
// process sees them, into FILE as 42 hexadecimal digits ("none" if the block
// cannot be opened).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    char text[64] = "none";
    if (HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, "VakoHookShareMem")) {
        if (auto* view =
                static_cast<const unsigned char*>(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0))) {
            for (int i = 0; i < 21; ++i)
                std::snprintf(text + 2 * i, 3, "%02X", view[i]);
            UnmapViewOfFile(view);
        }
        CloseHandle(h);
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f)
        return 1;
    std::fputs(text, f);
    std::fclose(f);
    return 0;
}
