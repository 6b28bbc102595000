// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/CapacityChecks.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/AccessError.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck {

QString CheckAddGroup(const CGlowdeckDoc& doc) {
    if (doc.ProjectFile() && doc.ProjectFile()->GroupCount() > MaxGroups - 1)
        return QCoreApplication::translate("CapacityChecks", "组数已达上限！");
    return QString();
}

QString CheckAddItem(CGlowdeckDoc& doc, int group, ItemKind kind) {
    if (group <= 0 || !doc.ProjectFile() || group > doc.ProjectFile()->GroupCount())
        return QCoreApplication::translate("CapacityChecks", "请先添加一个组!");
    try {
        doc.RecomputeTotalDataBytes();
    } catch (const AccessError& e) {
        return DamagedProjectText(e);  // an item without its "length"
    }
    if (doc.TotalDataBytes() > MaxTotalDataBytes)
        return QCoreApplication::translate("CapacityChecks", "总长度已达上限500k！");
    if (doc.ProjectFile()->ItemCount(group - 1) >= MaxItemsPerGroup)
        return QCoreApplication::translate("CapacityChecks", "元素数已达上限！");
    if (kind == ItemKind::Animation) {
        doc.RecountAnimations();
        if (group - 1 < MaxGroups && doc.AnimationCount(group - 1) >= MaxAnimationsPerGroup)
            return QCoreApplication::translate("CapacityChecks", "单组动画最多为20幅！");
    }
    return QString();
}

bool CompiledDataStale(const CGlowdeckDoc& doc) {
    if (doc.NeedsCompile()) return true;
    const QFileInfo data(doc.DataFilePath());
    if (!data.isFile()) return true;
    const QFileInfo project(doc.ProjectFilePath());
    return project.exists() && project.lastModified() > data.lastModified();
}

}  // namespace glowdeck
