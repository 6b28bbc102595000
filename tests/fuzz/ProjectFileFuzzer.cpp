// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as Index.prj. Loading, reading every position
// and saving must never crash or hang, and a loaded file must read back the
// same after a save.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/AccessError.h"
#include "model/ProjectFile.h"

using glowdeck::AccessError;
using glowdeck::CProjectFile;

namespace {

struct Shape {
    int groups = 0;
    long items = 0;
    long long lengths = 0;
};

Shape Walk(const CProjectFile& file) {
    Shape shape;
    shape.groups = file.GroupCount();
    for (int g = 0; g < shape.groups; ++g) {
        file.GroupName(g);
        const int count = file.ItemCount(g);
        shape.items += count;
        for (int i = 0; i < count; ++i) {
            file.ItemKindOf(g, i);
            try {
                file.GetAttr(g, i, "name");
                file.GetAttr(g, i, "id");
            } catch (const AccessError&) {
            }
            try {
                shape.lengths += file.GetInt(g, i, "length");
            } catch (const AccessError&) {
            }
            try {
                file.GetIntList(g, i, "interval");
            } catch (const AccessError&) {
            }
        }
    }
    return shape;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    CProjectFile file(QStringLiteral("/nonexistent/Index.prj"), bytes, QStringLiteral("fuzz"));
    const Shape before = Walk(file);
    const QByteArray saved = file.Serialize();
    CProjectFile again(QStringLiteral("/nonexistent/Index.prj"), saved, QString());
    if (!again.Loaded()) std::abort();  // what we write must always read back
    const Shape after = Walk(again);
    if (file.Loaded() && (after.groups != before.groups || after.items != before.items ||
                          after.lengths != before.lengths)) {
        std::fprintf(stderr,
                     "round trip changed the project: %d/%ld/%lld groups/items/lengths became "
                     "%d/%ld/%lld\n%s\n",
                     before.groups, before.items, before.lengths, after.groups, after.items,
                     after.lengths, saved.constData());
        std::abort();
    }
    return 0;
}
