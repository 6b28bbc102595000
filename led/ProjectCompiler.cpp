#include "led/ProjectCompiler.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "led/AnimationConverter.h"
#include "led/IndexBuilder.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"
#include "model/AccessError.h"
#include "model/GlowdeckDoc.h"
#include "model/MessageSink.h"

namespace glowdeck {

namespace {

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
    const QString building = target + QStringLiteral(".new");
    int itemCount = 0;
    bool ok = false;
    try {
        ok = IndexPass(ball, building, &itemCount) && DataPass(ball, building, itemCount, progress);
    } catch (const AccessError& e) {
        messages_.Warn(QStringLiteral("项目文件有误：%1").arg(QString::fromUtf8(e.what())));
        ok = false;
    }
    if (ok && std::rename(QFile::encodeName(building).constData(), QFile::encodeName(target).constData()) != 0) {
        messages_.Warn(QStringLiteral("数据文件未打开"));
        ok = false;
    }
    if (!ok) {
        QFile::remove(building);
        return false;
    }
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
    for (int g = 0; g < file.GroupCount(); ++g) {
        index.AddGroup();
        for (int i = 0; i < file.ItemCount(g); ++i) {
            ++*itemCount;
            const auto kind = KindFromElementName(file.ItemKindOf(g, i));
            if (!kind) continue;
            if (*kind != ItemKind::Animation) {
                index.AddColumns(static_cast<std::uint16_t>(file.GetInt(g, i, "length")));
                continue;
            }
            const int frameColumns = file.GetInt(g, i, "flength");
            const int frames = file.GetInt(g, i, "framecount");
            const std::vector<int> intervals = file.GetIntList(g, i, "interval");
            const int loop = file.GetInt(g, i, "loop");
            const int speed = file.GetInt(g, i, "speed");
            index.AddAnimation(static_cast<std::uint8_t>(loop & 0xFF));
            for (int k = 0; k < frames && k < CIndexBuilder::MaxFrames; ++k) {
                const int interval = k < static_cast<int>(intervals.size()) ? intervals[k] : 0;
                index.AddFrame(static_cast<std::uint16_t>(frameColumns), FrameDelayMs(interval, speed));
            }
        }
    }
    index.Finalise();
    const bool written = index.WriteIndex(target);
    indexLength_ = index.IndexLength();
    const std::uint64_t total = static_cast<std::uint64_t>(index.IndexLength()) + index.DataLength();
    index.Reset();
    if (!written) {
        messages_.Warn(QStringLiteral("索引文件未打开"));
        return false;
    }
    if (total > 0xFFFFFF) {
        messages_.Warn(QStringLiteral("数据过大，索引无法表示（%1 字节）").arg(total));
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
            const QString source = doc_.SourceImagePathFor(*kind, file.GetAttr(g, i, "id"));
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
