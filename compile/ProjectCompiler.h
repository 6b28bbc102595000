// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QRgb>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/BallConfig.h"
#include "led/ColumnAppender.h"
#include "model/ItemKind.h"

namespace glowdeck {

class CGlowdeckDoc;
class IMessageSink;

// What a compile produced.
struct CompileSummary {
    int groups = 0;
    int items = 0;
    std::uint32_t columns = 0;
    std::uint32_t bytes = 0;  // length of data.bin
    int converted = 0;        // items converted from their sources
    int reused = 0;           // items taken from the column cache
};

// One item of the data pass: where its source is and how it is converted.
struct CompileJob {
    int g = 0, i = 0;  // 0-based
    int counter = 0;   // the progress value once it is appended
    ItemKind kind = ItemKind::Picture;
    QRgb threshold = 0;
    bool dither = false;  // error diffusion instead of the plain threshold
    ColumnShape shape;
    QString source;
};

// The compile's message that the open project's show is larger than the
// ball holds (its size and the limit), or empty when it fits or cannot be
// measured. Reads only the stored attributes, so an edit can say at once that
// the show no longer fits.
QString ShowTooLargeMessage(const CGlowdeckDoc& doc, const BallConfig& ball);

// Compiles the open project into its data.bin: the index from the items'
// stored attributes, then every item converted again and its columns
// appended in project order. The new file is built beside data.bin and
// replaces it only when both passes succeeded; a failed compile shows its
// message, keeps the previous data.bin and returns false.
class CProjectCompiler {
public:
    using Progress = std::function<void(int value, int maximum)>;

    CProjectCompiler(CGlowdeckDoc& doc, IMessageSink& messages) : doc_(doc), messages_(messages) {}

    // Where the "led.bmp"/"led.jpg" previews of each item are written; empty
    // writes none.
    void SetPreviewFolder(const QString& folder) { previewFolder_ = folder; }

    // Where converted columns are kept between compiles, keyed by the
    // source file, the thresholds, dithering, the shape and the ball; empty
    // keeps none.
    void SetCacheFolder(const QString& folder) { cacheFolder_ = folder; }
    // Workers converting items; 0 uses every core.
    void SetThreadCount(int threads) { threads_ = threads; }
    // A flag another thread may set to stop the compile: the old data.bin is
    // kept and nothing is shown.
    void SetCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    bool WasCancelled() const { return cancelledRun_; }

    // Runs on the calling thread; converts items on worker threads of its
    // own. Progress and messages come from the calling thread, in project order.
    bool Compile(const BallConfig& ball, const Progress& progress = {},
                 CompileSummary* summary = nullptr);

private:
    std::vector<CompileJob> Jobs(int* itemCount) const;
    bool IndexPass(const BallConfig& ball, const QString& target, int* itemCount);
    bool DataPass(const BallConfig& ball, const QString& target, int itemCount,
                  const Progress& progress);

    CGlowdeckDoc& doc_;
    IMessageSink& messages_;
    QString previewFolder_;
    QString cacheFolder_;
    int threads_ = 0;
    const std::atomic<bool>* cancel_ = nullptr;
    bool cancelledRun_ = false;
    int converted_ = 0, reused_ = 0;
    std::uint32_t indexLength_ = 0;
};

}  // namespace glowdeck
