// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectQueries.h"

#include <QDir>
#include <QFileInfo>

#include "model/ProjectFile.h"

namespace glowdeck {

namespace {
const QString kProjectFileName = QStringLiteral("Index.prj");
constexpr char kDither[] = "dither";
}  // namespace

QString ProjectFileIn(const QString& folder) {
    const QString exact = folder + kProjectFileName;
    if (QFileInfo::exists(exact)) return exact;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (name.compare(kProjectFileName, Qt::CaseInsensitive) == 0) return folder + name;
    return exact;
}

std::uint32_t DataBytesOf(const CProjectFile& file) {
    std::uint32_t columns = 0;
    for (int g = 0; g < file.GroupCount(); ++g)
        for (int i = 0; i < file.ItemCount(g); ++i)
            if (file.KindOf(g, i))
                columns += static_cast<std::uint32_t>(file.GetInt(g, i, "length"));
    return columns * 168u / 8u;
}

namespace item_ops {

bool CanDither(const CProjectFile& file, int g, int i) {
    const auto kind = KindFromElementName(file.ItemKindOf(g, i));
    return kind == ItemKind::Picture || kind == ItemKind::Animation;
}

bool Dithers(const CProjectFile& file, int g, int i) {
    return CanDither(file, g, i) && file.HasProperty(g, i, kDither) &&
           file.GetText(g, i, kDither).trimmed() == QLatin1String("1");
}

}  // namespace item_ops

}  // namespace glowdeck
