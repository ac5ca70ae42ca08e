#include "FuzzCheck.h"
#include "PlyReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TriMesh m;
    int mask = 0;
    const bool ok = ReadPly(reinterpret_cast<const char*>(data), size, m, mask, nullptr);
    CheckRead(ok, m);
    return 0;
}
