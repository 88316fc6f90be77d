// Runs once before the tests that share the desktop: ends what an earlier session
// left running in this Wine prefix and empties the user's Startup folder and
// Desktop, so that a first start finds nothing to import. Fails when either is
// still not so afterwards.
#include "driver/vako_e2e.h"

#include <shlobj.h>

#include <cstdio>

using namespace e2e;

int main() {
    try {
        for (const std::string& image : EndLeftoverProcesses())
            std::printf("ended left-over %s\n", image.c_str());
        EmptyUserShellFolders();
        int status = 0;
        for (int csidl : {CSIDL_STARTUP, CSIDL_DESKTOPDIRECTORY}) {
            const std::string folder = ShellFolder(csidl);
            for (const std::string& name : FolderEntries(folder)) {
                std::printf("still in %s: %s\n", folder.c_str(), name.c_str());
                status = 1;
            }
        }
        if (!EndLeftoverProcesses().empty()) {
            std::printf("programs came back after they were ended\n");
            status = 1;
        }
        return status;
    } catch (const std::exception& e) {
        std::printf("session setup: %s\n", e.what());
        return 1;
    }
}
