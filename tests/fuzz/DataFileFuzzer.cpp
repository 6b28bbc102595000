// libFuzzer target: any bytes as a data.bin, read as `glowdeck-cli inspect`
// reads it. Reading the index and unpacking every group's and animation's
// columns must never crash or hang, and a file reported consistent must
// really hold index length + columns × column bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "led/DataFileReader.h"
#include "led/LedUnpacker.h"

using namespace glowdeck;

namespace {

void Check(const QByteArray& bytes, int columnBytes) {
    DataIndex index;
    QStringList problems;
    QString error;
    if (!ReadDataIndex(bytes, columnBytes, &index, &problems, &error)) {
        if (error.isEmpty()) std::abort();  // a refusal always says why
        return;
    }
    if (index.indexLength > bytes.size()) std::abort();
    if (problems.isEmpty()) {
        const long long expected = index.indexLength + index.totalColumns * index.columnBytes;
        if (index.columnBytes == 0 || expected != bytes.size()) {
            std::fprintf(stderr, "reported consistent, yet %d + %lld × %d != %lld\n", index.indexLength,
                         index.totalColumns, index.columnBytes, static_cast<long long>(bytes.size()));
            std::abort();
        }
    }
    const LedTable table = index.columnBytes == 14 ? LedTable::Inner : LedTable::Single;
    for (const DataIndex::Group& group : index.groups) {
        const QImage strip = UnpackColumns(bytes, group.dataOffset, group.columns, table);
        if (strip.width() != group.columns) std::abort();
        for (const DataIndex::Animation& animation : group.animations)
            UnpackColumns(bytes, animation.dataOffset, animation.columnSum, table);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    Check(bytes, 0);   // column size inferred from the length, as inspect does
    Check(bytes, 14);  // inspect --layer inner
    return 0;
}
