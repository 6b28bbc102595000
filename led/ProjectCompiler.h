#pragma once
#include <QString>
#include <cstdint>
#include <functional>

#include "led/BallConfig.h"

namespace glowdeck {

class CGlowdeckDoc;
class IMessageSink;

// What a compile produced.
struct CompileSummary {
    int groups = 0;
    int items = 0;
    std::uint32_t columns = 0;
    std::uint32_t bytes = 0;  // length of data.bin
};

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

    bool Compile(const BallConfig& ball, const Progress& progress = {},
                 CompileSummary* summary = nullptr);

private:
    bool IndexPass(const BallConfig& ball, const QString& target, int* itemCount);
    bool DataPass(const BallConfig& ball, const QString& target, int itemCount,
                  const Progress& progress);

    CGlowdeckDoc& doc_;
    IMessageSink& messages_;
    QString previewFolder_;
    std::uint32_t indexLength_ = 0;
};

}  // namespace glowdeck
