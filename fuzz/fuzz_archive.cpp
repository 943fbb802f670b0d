// Any bytes read as a run of archive fields twice: from memory, and from a device
// through a read buffer of a few bytes, so that every field and every string also
// falls across the buffer's edge. Both readers must give the same values and stop
// at the same place for the same reason.
#include "framework/Archive.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using Value = std::variant<uint32_t, std::string>;

struct Run
{
    std::vector<Value> values;
    int stop = -1; // the exception's cause, or -1 when the data ran out between fields
};

// The first byte chooses the field order; the rest is the data.
Run Read(CArchive& ar, uint8_t pattern)
{
    Run run;
    try {
        for (int k = 0; ar.BytesLeft() > 0 && k < 4096; ++k) {
            switch ((pattern >> (2 * (k % 4))) & 3) {
            case 0: run.values.emplace_back(uint32_t(ar.ReadU8())); break;
            case 1: run.values.emplace_back(uint32_t(ar.ReadU16())); break;
            case 2: run.values.emplace_back(ar.ReadU32()); break;
            default: run.values.emplace_back(ar.ReadString()); break;
            }
        }
    } catch (const CArchiveException& e) {
        run.stop = e.cause();
    }
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t pattern = data[0];
    const size_t bufferSize = 1 + data[1] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    CArchive memory(bytes);
    const Run fromMemory = Read(memory, pattern);

    QByteArray copy(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    CArchive buffered(&device, CArchive::load, bufferSize);
    const Run fromDevice = Read(buffered, pattern);

    if (fromMemory.values != fromDevice.values || fromMemory.stop != fromDevice.stop)
        __builtin_trap();
    return 0;
}
