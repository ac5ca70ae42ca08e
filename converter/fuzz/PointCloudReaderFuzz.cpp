#include "FuzzCheck.h"
#include "PointCloudReader.h"

#include <cstddef>
#include <cstdint>

// The first byte picks the format, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const PointFormat formats[] = {PointFormat::Xyz, PointFormat::Apts, PointFormat::Asc, PointFormat::Pts};
    TriMesh m;
    int mask = 0;
    const bool ok = ReadPointCloud(formats[data[0] % 4], reinterpret_cast<const char*>(data + 1), size - 1, m, mask,
                                   nullptr);
    CheckRead(ok, m);
    return 0;
}
