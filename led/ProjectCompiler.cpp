#include "led/ProjectCompiler.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

#include "base/AtomicFile.h"
#include "led/AnimationConverter.h"
#include "led/IndexBuilder.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"
#include "model/AccessError.h"
#include "model/GlowdeckDoc.h"
#include "model/MessageSink.h"
#include "model/ProjectLimits.h"

namespace glowdeck {

namespace {

// What the index can hold of an item's stored attributes. A value outside
// would wrap in the index's 8- and 16-bit fields, and the index would no
// longer describe the columns that follow it.
constexpr int kMaxColumns = 0xFFFF;   // column counts are 16 bits
constexpr int kMaxLoop = 0xFF;        // the loop count is 8 bits
constexpr int kMaxInterval = 0xFFFF;  // hundredths of a second, 16 bits as a GIF stores them
constexpr int kMaxSpeed = 0xFFFF;     // milliseconds taken off every frame delay

// Why an item's attribute cannot be compiled (1-based group and item).
QString OutOfRange(int g, int i, const QString& attribute, long long value, int low, int high) {
    return QStringLiteral("第%1组第%2项的%3为 %4，超出范围 %5..%6，无法编译")
        .arg(g + 1).arg(i + 1).arg(attribute).arg(value).arg(low).arg(high);
}

// The columns the index gives an item, as the data pass must write them.
ColumnShape IndexShape(const CProjectFile& file, int g, int i, bool animation) {
    if (!animation) return {1, static_cast<std::uint16_t>(file.GetInt(g, i, "length"))};
    const int frames = std::clamp(file.GetInt(g, i, "framecount"), 0, CIndexBuilder::MaxFrames);
    return {frames, static_cast<std::uint16_t>(file.GetInt(g, i, "flength"))};
}

}  // namespace

bool CProjectCompiler::Compile(const BallConfig& ball, const Progress& progress,
                               CompileSummary* summary) {
    const CProjectFile* file = doc_.ProjectFile();
    if (!file) return false;
    const QString target = doc_.dataFilePath;
    // Temporary files of compiles that were killed: the caller holds the
    // project, so no other compile is writing them. "data.bin.new" is the
    // fixed name older versions built under.
    RemoveStaleTemporaries(target);
    QFile::remove(target + QStringLiteral(".new"));
    // The new file gets a unique name beside data.bin and replaces it only
    // when both passes wrote every byte; data.bin is untouched otherwise.
    CAtomicFile building(target);
    QString error;
    if (!building.Open(&error)) {
        messages_.Warn(QStringLiteral("索引文件未打开"));  // the index is the file's first part
        return false;
    }
    int itemCount = 0;
    bool ok = false;
    try {
        ok = IndexPass(ball, building.TemporaryPath(), &itemCount) &&
             DataPass(ball, building.TemporaryPath(), itemCount, progress);
    } catch (const AccessError& e) {
        messages_.Warn(DamagedProjectText(e));
        ok = false;
    }
    if (ok && !building.Commit(&error)) {
        messages_.Warn(QStringLiteral("数据文件写入失败：\n%1").arg(error));
        ok = false;
    }
    if (!ok) return false;  // `building` removes its temporary file
    doc_.needsCompile = false;
    if (summary) {
        summary->groups = file->GroupCount();
        summary->items = itemCount;
        summary->bytes = static_cast<std::uint32_t>(QFileInfo(target).size());
        summary->columns = (summary->bytes - std::min(summary->bytes, indexLength_)) / ball.ColumnBytes();
    }
    return true;
}

bool CProjectCompiler::IndexPass(const BallConfig& ball, const QString& target, int* itemCount) {
    const CProjectFile& file = *doc_.ProjectFile();
    CIndexBuilder& index = doc_.indexBuilder;
    index.Reset();
    index.SetBall(ball);
    *itemCount = 0;
    // The file's size, counted wide beside the builder's own fields so that
    // nothing can wrap unnoticed before it is refused.
    const std::uint64_t columnBytes = static_cast<std::uint64_t>(ball.ColumnBytes());
    std::uint64_t indexBytes = CIndexBuilder::HeaderBytes, dataBytes = 0;
    std::array<int, CIndexBuilder::MaxGroups> animations{};
    QString refusal;
    auto read = [&](int g, int i, const char* name, int low, int high) {
        const int value = file.GetInt(g, i, name);
        if (refusal.isEmpty() && (value < low || value > high))
            refusal = OutOfRange(g, i, QStringLiteral("“%1”").arg(QLatin1String(name)), value, low, high);
        return value;
    };
    for (int g = 0; g < file.GroupCount() && refusal.isEmpty(); ++g) {
        index.AddGroup();
        // Groups after the tenth are accounted to the tenth.
        const int slot = std::min(g, CIndexBuilder::MaxGroups - 1);
        if (g == slot) indexBytes += 6;
        for (int i = 0; i < file.ItemCount(g) && refusal.isEmpty(); ++i) {
            ++*itemCount;
            const auto kind = KindFromElementName(file.ItemKindOf(g, i));
            if (!kind) continue;
            file.ItemId(g, i);  // an id that is no plain file name stops the compile here
            if (*kind != ItemKind::Animation) {
                const int length = read(g, i, "length", 0, kMaxColumns);
                if (!refusal.isEmpty()) break;
                index.AddColumns(static_cast<std::uint16_t>(length));
                dataBytes += static_cast<std::uint64_t>(length) * columnBytes;
                continue;
            }
            const int frameColumns = read(g, i, "flength", 0, kMaxColumns);
            const int frames = read(g, i, "framecount", 0, CIndexBuilder::MaxFrames);
            const std::vector<int> intervals = file.GetIntList(g, i, "interval");
            const int loop = read(g, i, "loop", 0, kMaxLoop);
            const int speed = read(g, i, "speed", -kMaxSpeed, kMaxSpeed);
            for (int k = 0; k < frames && k < static_cast<int>(intervals.size()) && refusal.isEmpty(); ++k)
                if (intervals[k] < 0 || intervals[k] > kMaxInterval)
                    refusal = OutOfRange(g, i, QStringLiteral("“interval”第%1个值").arg(k + 1), intervals[k], 0,
                                         kMaxInterval);
            if (refusal.isEmpty() && ++animations[slot] > CIndexBuilder::MaxAnimations)
                refusal = QStringLiteral("第%1组有超过 %2 个动画，无法编译").arg(slot + 1).arg(CIndexBuilder::MaxAnimations);
            if (!refusal.isEmpty()) break;
            index.AddAnimation(static_cast<std::uint8_t>(loop));
            for (int k = 0; k < frames; ++k) {
                const int interval = k < static_cast<int>(intervals.size()) ? intervals[k] : 0;
                index.AddFrame(static_cast<std::uint16_t>(frameColumns), FrameDelayMs(interval, speed));
            }
            indexBytes += 7 + 4 * static_cast<std::uint64_t>(frames);
            dataBytes += static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(frameColumns) * columnBytes;
        }
    }
    const std::uint64_t total = indexBytes + dataBytes;
    if (refusal.isEmpty() && indexBytes > 0xFFFF)
        refusal = QStringLiteral("数据过大，索引无法表示（%1 字节）").arg(indexBytes);
    // A larger file could only overwrite the ball's memory.
    if (refusal.isEmpty() && total > MaxTotalDataBytes)
        refusal = QStringLiteral("数据共 %1 字节，超过彩球的存储空间 %2 字节，无法编译").arg(total).arg(MaxTotalDataBytes);
    if (!refusal.isEmpty()) {
        index.Reset();
        messages_.Warn(refusal);
        return false;
    }
    index.Finalise();
    QString writeError;
    const bool written = index.WriteIndex(target, &writeError);
    indexLength_ = index.IndexLength();
    index.Reset();
    if (!written) {
        messages_.Warn(writeError.isEmpty() ? QStringLiteral("索引文件未打开")
                                            : QStringLiteral("数据文件写入失败：\n%1").arg(writeError));
        return false;
    }
    return true;
}

bool CProjectCompiler::DataPass(const BallConfig& ball, const QString& target, int itemCount,
                                const Progress& progress) {
    const CProjectFile& file = *doc_.ProjectFile();
    const int maximum = 100 * itemCount;
    int counter = 0;
    if (progress) progress(0, maximum);
    auto preview = [&](const QString& name) {
        return previewFolder_.isEmpty() ? QString() : previewFolder_ + QLatin1Char('/') + name;
    };
    for (int g = 0; g < file.GroupCount(); ++g) {
        for (int i = 0; i < file.ItemCount(g); ++i) {
            counter += 100;
            const auto kind = KindFromElementName(file.ItemKindOf(g, i));
            if (!kind) {
                if (progress) progress(counter, maximum);
                continue;
            }
            const QRgb threshold = ThresholdColour(file.GetInt(g, i, "r"), file.GetInt(g, i, "g"),
                                                   file.GetInt(g, i, "b"));
            const bool animation = *kind == ItemKind::Animation;
            const ColumnShape shape = IndexShape(file, g, i, animation);
            const QString source = doc_.SourceImagePathFor(*kind, file.ItemId(g, i));
            bool appended = false;
            if (animation) {
                CAnimationConverter& converter = doc_.animationConverter;
                if (!converter.LoadFile(source)) {
                    messages_.Warn(SourceLoadMessage(g + 1, i + 1, source, converter.LoadError()));
                    return false;
                }
                converter.SetThreshold(threshold);
                converter.Convert(ball, &messages_);
                if (progress) progress(counter, maximum);
                const QString led = preview(CAnimationConverter::PreviewFileName());
                if (!led.isEmpty()) converter.SaveLedPreview(led);
                appended = converter.AppendData(target, &messages_, &shape);
                converter.Release();
            } else {
                CPictureConverter& converter = doc_.pictureConverter;
                if (!converter.LoadFile(source)) {
                    messages_.Warn(SourceLoadMessage(g + 1, i + 1, source, converter.LoadError()));
                    return false;
                }
                converter.SetThreshold(threshold);
                converter.Convert(ball);
                if (progress) progress(counter, maximum);
                const QString led = preview(CPictureConverter::PreviewFileName());
                if (!led.isEmpty()) converter.SaveLedPreview(led);
                appended = converter.AppendData(target, &messages_, &shape);
                converter.Release();
            }
            if (!appended) return false;
        }
    }
    return true;
}

}  // namespace glowdeck
