// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/SourceDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace glowdeck {

namespace {

const QString FolderKey = QStringLiteral("Settings1.1/SourceFolder");

}  // namespace

QString PictureFilter() {
    return QCoreApplication::translate("SourceDialog",
                                       "图像 (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.tif *.tiff)");
}

QString AnimationFilter() {
    return QCoreApplication::translate("SourceDialog",
                                       "动画 (*.gif *.webp *.mp4 *.webm *.mkv *.mov *.avi)");
}

QString ChooseSourceFile(QWidget* parent, const QString& filter) {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    const QString folder = settings.value(FolderKey).toString();
    const QString file = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    if (!file.isEmpty()) settings.setValue(FolderKey, QFileInfo(file).absolutePath());
    return file;
}

}  // namespace glowdeck
