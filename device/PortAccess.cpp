// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PortAccess.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <vector>

namespace glowdeck {

namespace {

// The device a path names, as (device number) when it is a device node,
// else its canonical path.
struct Target {
    bool isNode = false;
    dev_t rdev = 0;
    QString canonical;
    QString given;
};

Target TargetOf(const QString& path) {
    Target t;
    t.given = QDir::cleanPath(path);
    t.canonical = QFileInfo(path).canonicalFilePath();
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        t.isNode = true;
        t.rdev = st.st_rdev;
    }
    return t;
}

bool Names(const Target& t, const QString& fdLink) {
    const QString linked = QFileInfo(fdLink).symLinkTarget();
    if (linked.isEmpty()) return false;
    if (linked == t.given || (!t.canonical.isEmpty() && linked == t.canonical)) return true;
    if (!t.isNode) return false;
    struct stat st {};
    return ::stat(fdLink.toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode) &&
           st.st_rdev == t.rdev;
}

QString HolderText(const QList<PortHolder>& holders) {
    QStringList names;
    for (const PortHolder& h : holders)
        names << QCoreApplication::translate("PortAccess", "%1（进程 %2）").arg(h.name).arg(h.pid);
    return names.join(QCoreApplication::translate("PortAccess", "、"));
}

// What to do about a program that is known to take serial ports.
QString HolderAdvice(const QList<PortHolder>& holders) {
    for (const PortHolder& h : holders) {
        if (h.name == QLatin1String("brltty"))
            return QCoreApplication::translate(
                "PortAccess",
                "brltty 是盲文点显器服务，会占用部分USB串口。不用点显器时可卸载它：sudo apt remove "
                "brltty");
        if (h.name == QLatin1String("ModemManager"))
            return QCoreApplication::translate(
                "PortAccess",
                "ModemManager 会试探新插入的串口。可暂时停止它：sudo systemctl stop ModemManager");
    }
    return QCoreApplication::translate("PortAccess", "请先关闭该程序，再打开串口。");
}

}  // namespace

QList<PortHolder> PortHolders(const QString& device, const QString& procRoot) {
    QList<PortHolder> holders;
    const Target target = TargetOf(device);
    const QDir proc(procRoot);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric) continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        const QStringList links =
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& fd : links) {
            if (!Names(target, fds.filePath(fd))) continue;
            QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
            PortHolder holder;
            holder.pid = pid;
            if (comm.open(QIODevice::ReadOnly))
                holder.name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            if (holder.name.isEmpty()) holder.name = QStringLiteral("?");
            holders << holder;
            break;
        }
    }
    return holders;
}

GroupAccess GroupAccessOf(const QString& device) {
    GroupAccess access;
    struct stat st {};
    if (::stat(device.toLocal8Bit().constData(), &st) != 0) return access;
    if (const group* g = ::getgrgid(st.st_gid))
        access.group = QString::fromLocal8Bit(g->gr_name);
    else
        access.group = QString::number(st.st_gid);
    access.groupReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)) + 1);
    const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
    access.inGroupNow = ::getegid() == st.st_gid;
    for (int k = 0; k < n; ++k)
        access.inGroupNow = access.inGroupNow || groups[static_cast<size_t>(k)] == st.st_gid;
    if (const passwd* pw = ::getpwuid(::getuid())) {
        int count = 64;
        std::vector<gid_t> listed(static_cast<size_t>(count));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count) < 0) {
            listed.resize(static_cast<size_t>(count));
            ::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count);
        }
        for (int k = 0; k < count && k < static_cast<int>(listed.size()); ++k)
            access.inGroupAfterLogin =
                access.inGroupAfterLogin || listed[static_cast<size_t>(k)] == st.st_gid;
    }
    return access;
}

QString OpenFailureReason(const QString& device, int error, const QString& procRoot) {
    GroupAccess access;
    QList<PortHolder> holders;
    if (error == EACCES || error == EPERM) access = GroupAccessOf(device);
    if (error == EBUSY) holders = PortHolders(device, procRoot);
    return OpenFailureReason(device, error, access, holders);
}

QString OpenFailureReason(const QString& device, int error, const GroupAccess& access,
                          const QList<PortHolder>& holders) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return QCoreApplication::translate(
                       "PortAccess",
                       "串口 %1 已不存在：设备可能已拔出。请重新插好USB线缆，再打开传送端口。")
                .arg(device);
        case EACCES:
        case EPERM:
            if (access.group.isEmpty() || !access.groupReadWrite)
                return QCoreApplication::translate("PortAccess", "没有权限打开串口 %1。")
                    .arg(device);
            if (!access.inGroupNow && access.inGroupAfterLogin)
                return QCoreApplication::translate(
                           "PortAccess",
                           "没有权限打开串口 %1：您已加入 %2 组，但需要注销后重新登录才生效。")
                    .arg(device, access.group);
            if (!access.inGroupNow)
                return QCoreApplication::translate(
                           "PortAccess",
                           "没有权限打开串口 %1：当前用户不在 %2 组。\n请运行 sudo usermod -aG %2 "
                           "$USER，然后注销并重新登录。")
                    .arg(device, access.group);
            return QCoreApplication::translate("PortAccess",
                                               "没有权限打开串口 %1（设备的权限不允许读写）。")
                .arg(device);
        case EBUSY:
            if (holders.isEmpty())
                return QCoreApplication::translate(
                           "PortAccess",
                           "串口 %1 正被其他程序占用（常见的是 brltty 或 ModemManager）。\n可用 "
                           "sudo fuser -v %1 查看占用它的程序。")
                    .arg(device);
            return QCoreApplication::translate("PortAccess", "串口 %1 正被其他程序占用：%2。\n%3")
                .arg(device, HolderText(holders), HolderAdvice(holders));
        case ENOTTY:
            return QCoreApplication::translate("PortAccess", "%1 不是串口设备。").arg(device);
        default:
            return QCoreApplication::translate("PortAccess", "打开串口 %1 失败：%2")
                .arg(device, QString::fromLocal8Bit(std::strerror(error)));
    }
}

}  // namespace glowdeck
