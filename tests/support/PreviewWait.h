// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTest>

#include "editors/PreviewWorker.h"

namespace glowdeck::test {

// Waits until an editor has shown (or dropped) the result of its latest
// preview conversion, which runs on a worker thread.
template <class View>
bool PreviewSettled(const View& view, int timeoutMs = 20000) {
    return QTest::qWaitFor([&] { return !view.Previews()->Busy(); }, timeoutMs);
}

}  // namespace glowdeck::test
