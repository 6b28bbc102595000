// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SaveLoopProject.h"

#include "model/ProjectFile.h"

namespace glowdeck::test {

void BuildSaveLoopProject(CProjectFile& file, int variant) {
    while (file.GroupCount() > 0) file.RemoveGroup(0);
    for (int g = 0; g < 10; ++g) {
        file.AppendGroup(QStringLiteral("组%1-%2").arg(g).arg(variant));
        for (int i = 0; i < 150; ++i) {
            file.AppendItem(g, ItemKind::Text, QStringLiteral("文字%1").arg(i),
                            QStringLiteral("%1").arg(variant * 100000 + g * 1000 + i, 36, 10,
                                                     QLatin1Char('0')));
            file.SetText(g, i, "text", QString(200, QChar(variant ? u'乙' : u'甲')));
        }
    }
}

}  // namespace glowdeck::test
