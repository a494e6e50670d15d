// A library that is no part of the system, lying beside the test program under a name
// the system folder lacks: a loader that took the bare name would load it.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedMarker()
{
    return 7;
}
