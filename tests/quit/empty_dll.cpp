// A library that loads but offers none of the process functions.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI VakoNothingHere() {
    return 0;
}
