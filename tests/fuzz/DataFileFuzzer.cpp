// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as a data.bin, read as `glowdeck-cli inspect`
// reads it. Reading the index and unpacking every group's columns (the
// picture of --png) must never crash or hang, and a file reported consistent
// must really hold index length + columns × column bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "compile/DataFileReader.h"
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
            std::fprintf(stderr, "reported consistent, yet %d + %lld × %d != %lld\n",
                         index.indexLength, index.totalColumns, index.columnBytes,
                         static_cast<long long>(bytes.size()));
            std::abort();
        }
    }
    const LedTable table = index.columnBytes == 14 ? LedTable::Inner : LedTable::Single;
    const int stride = table == LedTable::Inner ? 14 : 21;
    for (const DataIndex::Group& group : index.groups) {
        // Columns past the end of the file unpack black: one of them is enough
        // to cross the end, and spares megabytes of black for a tiny input.
        const long long present = std::max<long long>(
            0, (bytes.size() - static_cast<long long>(group.dataOffset)) / stride);
        const int columns = static_cast<int>(std::min<long long>(group.columns, present + 1));
        const QImage strip = UnpackColumns(bytes, group.dataOffset, columns, table);
        if (strip.width() != columns) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    Check(bytes, 0);   // column size inferred from the length, as inspect does
    Check(bytes, 14);  // inspect --layer inner
    return 0;
}
