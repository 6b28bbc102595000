// SPDX-License-Identifier: GPL-3.0-or-later
#include "compile/ProjectCompiler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "compile/ColumnCache.h"
#include "compile/IndexBuilder.h"
#include "led/AnimationConverter.h"
#include "led/ColumnAppender.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
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
    return QCoreApplication::translate("ProjectCompiler",
                                       "第%1组第%2项的%3为 %4，超出范围 %5..%6，无法编译")
        .arg(g + 1)
        .arg(i + 1)
        .arg(attribute)
        .arg(value)
        .arg(low)
        .arg(high);
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
    const QString target = doc_.DataFilePath();
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
        // The index is the file's first part; the path and the system's
        // reason say what to fix (a read-only folder, a full disk).
        messages_.Warn(QCoreApplication::translate("ProjectCompiler", "索引文件未打开：%1（%2）")
                           .arg(QDir::toNativeSeparators(target),
                                QString::fromLocal8Bit(std::strerror(building.SystemError()))));
        return false;
    }
    int itemCount = 0;
    bool ok = false;
    cancelledRun_ = false;
    converted_ = reused_ = 0;
    try {
        ok = IndexPass(ball, building.TemporaryPath(), &itemCount) &&
             DataPass(ball, building.TemporaryPath(), itemCount, progress);
    } catch (const AccessError& e) {
        messages_.Warn(DamagedProjectText(e));
        ok = false;
    }
    // A cancel that came after the last item still keeps the old data.bin.
    if (ok && cancel_ && cancel_->load()) {
        cancelledRun_ = true;
        ok = false;
    }
    if (ok && !building.Commit(&error)) {
        messages_.Warn(
            QCoreApplication::translate("ProjectCompiler", "数据文件写入失败：\n%1").arg(error));
        ok = false;
    }
    if (!ok) return false;  // `building` removes its temporary file
    doc_.MarkCompiled(doc_.Revision());
    if (summary) {
        summary->groups = file->GroupCount();
        summary->converted = converted_;
        summary->reused = reused_;
        summary->items = itemCount;
        summary->bytes = static_cast<std::uint32_t>(QFileInfo(target).size());
        summary->columns =
            (summary->bytes - std::min(summary->bytes, indexLength_)) / ball.ColumnBytes();
    }
    return true;
}

namespace {

// What the index of a project holds, and the size of the file it begins.
struct IndexPlan {
    QString refusal;  // why the project cannot be compiled; empty when it can
    bool tooLarge = false;
    int itemCount = 0;
};

// Builds the index of `file` into `index` from the items' stored attributes,
// checking every value against what the index and the ball can hold. Reads
// no image.
IndexPlan PlanIndex(const CProjectFile& file, const BallConfig& ball, CIndexBuilder& index) {
    IndexPlan plan;
    index.Reset();
    index.SetBall(ball);
    int* itemCount = &plan.itemCount;
    // The file's size, counted wide beside the builder's own fields so that
    // nothing can wrap unnoticed before it is refused.
    const std::uint64_t columnBytes = static_cast<std::uint64_t>(ball.ColumnBytes());
    std::uint64_t indexBytes = CIndexBuilder::HeaderBytes, dataBytes = 0;
    std::array<int, CIndexBuilder::MaxGroups> animations{};
    QString refusal;
    auto read = [&](int g, int i, const char* name, int low, int high) {
        const int value = file.GetInt(g, i, name);
        if (refusal.isEmpty() && (value < low || value > high))
            refusal =
                OutOfRange(g, i, QStringLiteral("“%1”").arg(QLatin1String(name)), value, low, high);
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
            for (int k = 0;
                 k < frames && k < static_cast<int>(intervals.size()) && refusal.isEmpty(); ++k)
                if (intervals[k] < 0 || intervals[k] > kMaxInterval)
                    refusal = OutOfRange(
                        g, i,
                        QCoreApplication::translate("ProjectCompiler", "“interval”第%1个值")
                            .arg(k + 1),
                        intervals[k], 0, kMaxInterval);
            if (refusal.isEmpty() && ++animations[slot] > CIndexBuilder::MaxAnimations)
                refusal = QCoreApplication::translate("ProjectCompiler",
                                                      "第%1组有超过 %2 个动画，无法编译")
                              .arg(slot + 1)
                              .arg(CIndexBuilder::MaxAnimations);
            if (!refusal.isEmpty()) break;
            index.AddAnimation(static_cast<std::uint8_t>(loop));
            for (int k = 0; k < frames; ++k) {
                const int interval = k < static_cast<int>(intervals.size()) ? intervals[k] : 0;
                index.AddFrame(static_cast<std::uint16_t>(frameColumns),
                               FrameDelayMs(interval, speed));
            }
            indexBytes += 7 + 4 * static_cast<std::uint64_t>(frames);
            dataBytes += static_cast<std::uint64_t>(frames) *
                         static_cast<std::uint64_t>(frameColumns) * columnBytes;
        }
    }
    const std::uint64_t total = indexBytes + dataBytes;
    if (refusal.isEmpty() && indexBytes > 0xFFFF)
        refusal =
            QCoreApplication::translate("ProjectCompiler", "数据过大，索引无法表示（%1 字节）")
                .arg(indexBytes);
    // A larger file could only overwrite the ball's memory.
    if (refusal.isEmpty() && total > MaxTotalDataBytes) {
        refusal = QCoreApplication::translate(
                      "ProjectCompiler", "数据共 %1 字节，超过彩球的存储空间 %2 字节，无法编译")
                      .arg(total)
                      .arg(MaxTotalDataBytes);
        plan.tooLarge = true;
    }
    plan.refusal = refusal;
    return plan;
}

}  // namespace

QString ShowTooLargeMessage(const CGlowdeckDoc& doc, const BallConfig& ball) {
    if (!doc.ProjectFile()) return QString();
    CIndexBuilder index(nullptr);
    try {
        const IndexPlan plan = PlanIndex(*doc.ProjectFile(), ball, index);
        return plan.tooLarge ? plan.refusal : QString();
    } catch (const AccessError&) {
        return QString();  // a damaged item: compile says so
    }
}

bool CProjectCompiler::IndexPass(const BallConfig& ball, const QString& target, int* itemCount) {
    CIndexBuilder index(&messages_);
    const IndexPlan plan = PlanIndex(*doc_.ProjectFile(), ball, index);
    *itemCount = plan.itemCount;
    if (!plan.refusal.isEmpty()) {
        index.Reset();
        messages_.Warn(plan.refusal);
        return false;
    }
    index.Finalise();
    QString writeError;
    const bool written = index.WriteIndex(target, &writeError);
    indexLength_ = index.IndexLength();
    index.Reset();
    if (!written) {
        messages_.Warn(
            writeError.isEmpty()
                ? QCoreApplication::translate("ProjectCompiler", "索引文件未打开")
                : QCoreApplication::translate("ProjectCompiler", "数据文件写入失败：\n%1")
                      .arg(writeError));
        return false;
    }
    return true;
}

namespace {

// What converting one item gave, kept until its turn to be appended.
struct ItemResult {
    bool ready = false;
    bool loaded = false;
    QString loadError;
    QByteArray columns;  // fitted to the index's shape
    QImage preview;      // the LED image, when previews are written
    bool animation = false;
    bool fromCache = false;
    bool missed = false;  // not in the cache: looked for already
    struct Note {
        QString text, caption;
        IMessageSink::Icon icon;
    };
    std::vector<Note> notes;  // messages of the conversion, shown in project order
};

// Keeps a conversion's messages for the appending thread to show in order.
class NoteSink : public IMessageSink {
public:
    explicit NoteSink(std::vector<ItemResult::Note>& notes) : notes_(notes) {}
    Answer Show(const QString& text, const QString& caption, Icon icon, Buttons) override {
        notes_.push_back({text, caption, icon});
        return Answer::Ok;
    }

private:
    std::vector<ItemResult::Note>& notes_;
};

ItemResult ConvertItem(const CompileJob& job, const BallConfig& ball, bool wantPreview,
                       CPictureConverter& picture, CAnimationConverter& animation) {
    ItemResult result;
    result.animation = job.kind == ItemKind::Animation;
    NoteSink notes(result.notes);
    if (result.animation) {
        if (!animation.LoadFile(job.source)) {
            result.loadError = animation.LoadError();
            return result;
        }
        animation.SetThreshold(job.threshold);
        animation.SetDither(job.dither);
        animation.Convert(ball, &notes);
        result.columns = FitColumns(animation.Packed(), &job.shape);
        if (wantPreview) result.preview = animation.LedFrame();
        animation.Release();
    } else {
        if (!picture.LoadFile(job.source)) {
            result.loadError = picture.LoadError();
            return result;
        }
        picture.SetThreshold(job.threshold);
        picture.SetDither(job.dither);
        picture.Convert(ball);
        result.columns = FitColumns(picture.Packed(), &job.shape);
        if (wantPreview) result.preview = picture.LedImage();
        picture.Release();
    }
    result.loaded = true;
    return result;
}

}  // namespace

std::vector<CompileJob> CProjectCompiler::Jobs(int* itemCount) const {
    const CProjectFile& file = *doc_.ProjectFile();
    std::vector<CompileJob> jobs;
    *itemCount = 0;
    for (int g = 0; g < file.GroupCount(); ++g) {
        for (int i = 0; i < file.ItemCount(g); ++i) {
            ++*itemCount;
            const auto kind = file.KindOf(g, i);
            if (!kind) continue;
            CompileJob job;
            job.g = g;
            job.i = i;
            job.counter = 100 * *itemCount;
            job.kind = *kind;
            job.threshold = ThresholdColour(file.GetInt(g, i, "r"), file.GetInt(g, i, "g"),
                                            file.GetInt(g, i, "b"));
            job.dither = item_ops::Dithers(file, g, i);
            job.shape = IndexShape(file, g, i, *kind == ItemKind::Animation);
            job.source = doc_.SourceImagePathFor(*kind, file.ItemId(g, i));
            jobs.push_back(job);
        }
    }
    return jobs;
}

bool CProjectCompiler::DataPass(const BallConfig& ball, const QString& target, int itemCount,
                                const Progress& progress) {
    int counted = 0;
    const std::vector<CompileJob> jobs = Jobs(&counted);
    const int maximum = 100 * itemCount;
    if (progress) progress(0, maximum);
    QFile out(target);
    // Unbuffered, so a failing write (full disk) reports here and not in a silent flush.
    if (!out.open(QIODevice::ReadWrite | QIODevice::Unbuffered) || !out.seek(out.size())) {
        messages_.Warn(QCoreApplication::translate("ProjectCompiler", "数据文件未打开"));
        return false;
    }
    CColumnCache cache(cacheFolder_);
    const bool wantPreview = !previewFolder_.isEmpty();
    if (!wantPreview) cache.OpenPack(doc_.ProjectFolder());

    // Items are converted on every core, each worker with its own converters,
    // and appended strictly in project order by this thread. Workers run at
    // most `window` items ahead of the append: far enough that one slow item
    // (a 50-frame GIF takes as long as dozens of pictures) does not leave the
    // other cores waiting for it. The results waiting to be appended hold
    // little whatever the window: together at most the data file, which the
    // index pass kept within MaxTotalDataBytes (and their LED previews, when
    // wanted, about ten times that).
    const int workers = std::max(
        1, std::min<int>(
               threads_ > 0 ? threads_ : static_cast<int>(std::thread::hardware_concurrency()),
               static_cast<int>(jobs.size())));
    const size_t window = 64;
    std::vector<ItemResult> results(jobs.size());
    std::mutex mutex;
    std::condition_variable changed;
    size_t nextJob = 0, appended = 0;
    bool stop = false;
    auto cancelled = [&] { return cancel_ && cancel_->load(); };

    // Items in the cache are taken here before any worker starts: finding
    // one costs less than handing it to a worker and back. A cache that
    // holds none of the first items is taken as cold and left to the workers.
    if (!wantPreview) {
        constexpr size_t kColdAfter = 32;
        size_t misses = 0;
        for (size_t k = 0; k < jobs.size() && !cancelled(); ++k) {
            if (std::optional<QByteArray> cached = cache.Find(jobs[k], ball)) {
                results[k].ready = results[k].loaded = results[k].fromCache = true;
                results[k].columns = std::move(*cached);
            } else {
                results[k].missed = true;
                if (++misses == kColdAfter && misses == k + 1) break;
            }
        }
    }

    auto work = [&] {
        CPictureConverter picture;
        CAnimationConverter animation;
        for (;;) {
            size_t k;
            bool missed;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] {
                    while (nextJob < jobs.size() && results[nextJob].ready) ++nextJob;
                    return stop || nextJob >= jobs.size() || nextJob < appended + window;
                });
                if (stop || nextJob >= jobs.size()) return;
                k = nextJob++;
                missed = results[k].missed;
            }
            ItemResult result;
            result.fromCache = false;
            if (!cancelled()) {
                const CompileJob& job = jobs[k];
                QByteArray key;
                const std::optional<QByteArray> cached =
                    wantPreview || missed ? std::nullopt : cache.Find(job, ball, &key);
                if (cached) {
                    result.loaded = true;
                    result.fromCache = true;
                    result.columns = *cached;
                } else {
                    result = ConvertItem(job, ball, wantPreview, picture, animation);
                    if (result.loaded && result.notes.empty())
                        cache.Store(job, ball, result.columns, key.isEmpty() ? nullptr : &key);
                }
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                result.ready = true;
                results[k] = std::move(result);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w) pool.emplace_back(work);

    bool ok = true;
    constexpr qsizetype kWriteBytes = 256 * 1024;
    QByteArray pending;
    auto writePending = [&] {
        if (out.write(pending) == pending.size()) {
            pending.clear();
            return true;
        }
        messages_.Warn(QCoreApplication::translate("ProjectCompiler", "数据文件写入失败：\n%1\n%2")
                           .arg(target, out.errorString()));
        return false;
    };
    for (size_t k = 0; k < jobs.size(); ++k) {
        ItemResult result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return results[k].ready; });
            result = std::move(results[k]);
        }
        const CompileJob& job = jobs[k];
        if (cancelled()) {
            cancelledRun_ = true;
            ok = false;
            break;
        }
        for (const ItemResult::Note& note : result.notes)
            messages_.Show(note.text, note.caption, note.icon);
        if (!result.loaded) {
            messages_.Warn(SourceLoadMessage(job.g + 1, job.i + 1, job.source, result.loadError));
            ok = false;
            break;
        }
        ++(result.fromCache ? reused_ : converted_);
        if (progress) progress(job.counter, maximum);
        // The previews are only looked at, and made again by every compile:
        // one that cannot be written does not stop the compile.
        if (wantPreview && !result.preview.isNull()) {
            const QString preview = previewFolder_ + QLatin1Char('/') +
                                    (result.animation ? CAnimationConverter::PreviewFileName()
                                                      : CPictureConverter::PreviewFileName());
            [[maybe_unused]] const bool written =
                EncodeImage(result.preview, preview, QStringLiteral("image/jpeg"));
        }
        // Written in pieces of some hundred kilobytes, not one write an item.
        pending += result.columns;
        if ((pending.size() >= kWriteBytes || k + 1 == jobs.size()) && !writePending()) {
            ok = false;
            break;
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            appended = k + 1;
        }
        changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& t : pool) t.join();
    if (ok && progress && (jobs.empty() || jobs.back().counter != maximum))
        progress(maximum, maximum);
    if (ok) {
        cache.ClosePack();
        cache.Trim();
    }
    return ok;
}

}  // namespace glowdeck
