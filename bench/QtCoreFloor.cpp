// SPDX-License-Identifier: GPL-3.0-or-later
// The floor a Qt command-line tool starts from: QtCore alone, one line out.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts("qtcore-floor");
    return 0;
}
