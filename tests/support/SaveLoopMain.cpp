// SPDX-License-Identifier: GPL-3.0-or-later
// Saves two alternating projects to one path until killed; the atomic-save
// test kills it at random moments.
#include <cstdio>

#include "base/AtomicFile.h"
#include "model/ProjectFile.h"
#include "support/SaveLoopProject.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    // What the program does when it opens a project: the temporary file of a
    // writer that was killed is removed by the next one.
    glowdeck::RemoveStaleTemporaries(QString::fromLocal8Bit(argv[1]));
    glowdeck::CProjectFile a(QString::fromLocal8Bit(argv[1]) + QStringLiteral(".unused"));
    glowdeck::CProjectFile b(QString::fromLocal8Bit(argv[1]) + QStringLiteral(".unused"));
    glowdeck::test::BuildSaveLoopProject(a, 0);
    glowdeck::test::BuildSaveLoopProject(b, 1);
    const QByteArray bytes[2] = {a.Serialize(), b.Serialize()};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned n = 0;; ++n) {
        glowdeck::CProjectFile file(QString::fromLocal8Bit(argv[1]));
        glowdeck::test::BuildSaveLoopProject(file, n & 1);
        if (file.Serialize() != bytes[n & 1] || !file.Save()) return 1;
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    }
}
