// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RenderCommands.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cmath>
#include <numeric>

#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "cli/CliProgress.h"
#include "cli/CliSupport.h"
#include "compile/ColumnCache.h"
#include "compile/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"
#include "show/AnimationExport.h"
#include "show/BallRenderer.h"
#include "show/Show.h"
#include "show/ShowTimeline.h"
#include "show/StripRenderer.h"

namespace glowdeck {

namespace {

const char kUsage[] =
    "usage: glowdeck-cli render DATA.BIN|PROJECT --out FILE.png|FILE.gif|FILE.webp "
    "[--view strip|ball] [--group N] [--ball 1|2] [--layer inner|outer] [--size PIXELS] "
    "[--turn-seconds S] [--columns-per-turn N] [--inner INNER.BIN]";

int Usage(const QString& why = QString()) {
    if (!why.isEmpty()) PrintErr(why);
    PrintErr(QString::fromUtf8(kUsage));
    return 2;
}

struct RenderOptions {
    QString out;
    bool ball = false;
    std::vector<int> groups;  // 0-based; empty: every group
    int size = 0;             // 0: the view's default
    int turnMs = 4000;
    int columnsPerTurn = 112;
    const CShow* inner = nullptr;  // a double ball's inner layer, shown inside
};

// The inner ball's strip for group `g` at `ms`, when there is one.
struct InnerLayer {
    std::vector<int> strip;
    BallLayer layer;
    const BallLayer* Get() const { return layer.columns ? &layer : nullptr; }
};
void TakeInner(const RenderOptions& o, int g, long long ms, InnerLayer* inner) {
    inner->layer = {};
    if (!o.inner || g >= static_cast<int>(o.inner->Groups().size())) return;
    const ShowGroup& group = o.inner->Groups()[size_t(g)];
    inner->strip = group.StripAt(ms);
    inner->layer = {&group.columns, &inner->strip};
}

// A group without animations stays this long in a strip animation.
constexpr int kStillMs = 2000;
// A strip picture wider than this many pixels gets smaller dots.
constexpr int kMaxStripWidth = 16384;

// A project whose data.bin is missing, older than its project file, or made
// for another ball or layer is compiled before it is shown.
bool CompiledShowIsCurrent(const QString& folder, const BallConfig& ball) {
    const QFileInfo data(QDir(folder).filePath(QStringLiteral("data.bin")));
    const QFileInfo project(QDir(folder).filePath(QStringLiteral("Index.prj")));
    if (!data.isFile() || !project.exists()) return false;
    if (project.lastModified() >= data.lastModified()) return false;
    QString why;
    const std::optional<QByteArray> bytes = ReadWholeFile(data.filePath(), 64 << 20, &why);
    return bytes && CShow::Read(*bytes, ball, nullptr).has_value();
}

bool CompileProject(const QString& folder, const BallConfig& ball) {
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, folder)) return false;
    CProjectCompiler compiler(doc, messages);
    compiler.SetCacheFolder(CColumnCache::DefaultFolder());
    CliProgress progress(QStringLiteral("compile"), CliProgress::StderrIsTerminal());
    CompileSummary summary;
    const bool compiled = compiler.Compile(
        ball, [&](int value, int maximum) { progress.Update(value, maximum); }, &summary);
    progress.Finish();
    if (compiled)
        PrintOut(QCoreApplication::translate(
                     "RenderCommands", "changed since its last compile: compiled %1 (%2 bytes)")
                     .arg(doc.DataFilePath())
                     .arg(summary.bytes));
    return compiled;
}

QImage StillStrips(const CShow& show, const std::vector<int>& groups, int size) {
    int widest = 1;
    for (int g : groups) widest = std::max(widest, show.Groups()[size_t(g)].StoredColumns());
    const int pitch = std::clamp(std::min(size / LedRows, kMaxStripWidth / widest), 1, 256);
    const CStripRenderer renderer(pitch);
    const int gap = pitch * 2, strip = LedRows * pitch;
    QImage image(widest * pitch, static_cast<int>(groups.size()) * (strip + gap) - gap,
                 QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    int y = 0;
    for (int g : groups) {
        const ShowGroup& group = show.Groups()[size_t(g)];
        std::vector<int> all(static_cast<size_t>(group.StoredColumns()));
        std::iota(all.begin(), all.end(), 0);
        renderer.Draw(painter, QPoint(0, y), group.columns, all, 0, group.StoredColumns());
        y += strip + gap;
    }
    return image;
}

// The turn that brings the middle of what the ball shows to the front.
double FacingTurn(const std::vector<int>& strip, int columnsPerTurn) {
    const double shown = std::min<double>(static_cast<double>(strip.size()), columnsPerTurn);
    return shown / 2 / columnsPerTurn * 360;
}

QImage StillBalls(const CShow& show, const std::vector<int>& groups, const RenderOptions& o) {
    CBallRenderer renderer;
    renderer.SetView(o.size, 20, o.columnsPerTurn);
    const int size = renderer.Size(), gap = size / 16;
    QImage image(static_cast<int>(groups.size()) * (size + gap) - gap, size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QImage ball;
    for (size_t k = 0; k < groups.size(); ++k) {
        const ShowGroup& group = show.Groups()[size_t(groups[k])];
        const std::vector<int> strip = group.StripAt(0);
        InnerLayer inner;
        TakeInner(o, groups[k], 0, &inner);
        renderer.Render(&ball, {&group.columns, &strip}, FacingTurn(strip, o.columnsPerTurn), 0,
                        inner.Get());
        painter.drawImage(static_cast<int>(k) * (size + gap), 0, ball);
    }
    return image;
}

// How far a strip longer than a turn has scrolled `ms` after its group began:
// a quarter turn a second.
long long ScrollAt(long long ms, int columnsPerTurn) { return ms * columnsPerTurn / 4000; }

bool Animate(const CShow& show, const RenderOptions& o, AnimationFormat format, QByteArray* out,
             int* frameCount, long long* totalMs, QString* error) {
    std::unique_ptr<IAnimationWriter> writer = MakeAnimationWriter(format);
    *frameCount = 0;
    *totalMs = 0;
    if (o.ball) {
        CBallRenderer renderer;
        renderer.SetView(o.size, 20, o.columnsPerTurn);
        QImage picture;
        for (const ShowFrame& f : BallFrames(show, o.groups, o.turnMs)) {
            const ShowGroup& group = show.Groups()[size_t(f.group)];
            const std::vector<int> strip = group.StripAt(f.groupMs);
            const double turn = 360.0 * static_cast<double>(f.showMs % o.turnMs) / o.turnMs +
                                FacingTurn(strip, o.columnsPerTurn);
            InnerLayer inner;
            TakeInner(o, f.group, f.groupMs, &inner);
            renderer.Render(&picture, {&group.columns, &strip}, turn,
                            ScrollAt(f.groupMs, o.columnsPerTurn), inner.Get());
            if (!writer->Add(picture, f.delayMs, error)) return false;
            ++*frameCount;
            *totalMs += f.delayMs;
        }
    } else {
        bool cut = false;
        const std::vector<ShowFrame> frames = StripFrames(show, o.groups, kStillMs, 2000, &cut);
        if (cut)
            PrintErr(QCoreApplication::translate(
                "RenderCommands", "a long animation loop is cut to its first 2000 frames"));
        int widest = 1;
        for (const ShowFrame& f : frames)
            widest = std::max<int>(
                widest, static_cast<int>(show.Groups()[size_t(f.group)].StripAt(f.groupMs).size()));
        const int pitch = std::clamp(std::min(o.size / LedRows, kMaxStripWidth / widest), 1, 256);
        const CStripRenderer renderer(pitch);
        QImage picture(widest * pitch, LedRows * pitch, QImage::Format_RGB32);
        for (const ShowFrame& f : frames) {
            const ShowGroup& group = show.Groups()[size_t(f.group)];
            const std::vector<int> strip = group.StripAt(f.groupMs);
            picture.fill(Qt::black);
            QPainter painter(&picture);
            renderer.Draw(painter, QPoint(0, 0), group.columns, strip, 0,
                          static_cast<int>(strip.size()));
            painter.end();
            if (!writer->Add(picture, f.delayMs, error)) return false;
            ++*frameCount;
            *totalMs += f.delayMs;
        }
    }
    return writer->Finish(out, error);
}

}  // namespace

int RunRender(const QStringList& arguments) {
    QStringList args = arguments;
    RenderOptions o;
    const std::optional<QString> out = TakeOption(args, QStringLiteral("--out"));
    const std::optional<QString> view = TakeOption(args, QStringLiteral("--view"));
    const std::optional<QString> innerPath = TakeOption(args, QStringLiteral("--inner"));
    int group = 0;
    if (!TakeNumber(args, QStringLiteral("--group"), 1, 10, &group)) return Usage();
    if (!TakeNumber(args, QStringLiteral("--size"), 56, 4000, &o.size)) return Usage();
    if (!TakeNumber(args, QStringLiteral("--columns-per-turn"), 8, 4096, &o.columnsPerTurn))
        return Usage();
    if (const std::optional<QString> turn = TakeOption(args, QStringLiteral("--turn-seconds"))) {
        const std::optional<double> seconds = ParseDecimal(*turn, 0.5, 60);
        if (!seconds)
            return Usage(
                QCoreApplication::translate(
                    "RenderCommands", "--turn-seconds takes seconds from 0.5 to 60, not \"%1\"")
                    .arg(*turn));
        o.turnMs = static_cast<int>(std::lround(*seconds * 1000));
    }
    BallConfig ball;
    bool ballGiven = false;
    if (!TakeBallOptions(args, &ball, &ballGiven)) return Usage();
    if (!out)
        return Usage(QCoreApplication::translate("RenderCommands", "render needs --out FILE"));
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) return Usage();
    if (view && *view != QLatin1String("strip") && *view != QLatin1String("ball"))
        return Usage(
            QCoreApplication::translate("RenderCommands", "--view takes strip or ball, not \"%1\"")
                .arg(*view));
    o.ball = view && *view == QLatin1String("ball");
    o.out = *out;
    const QString suffix = QFileInfo(o.out).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("gif") &&
        suffix != QLatin1String("webp"))
        return Usage(QCoreApplication::translate(
                         "RenderCommands", "--out names a .png, .gif or .webp file, not \"%1\"")
                         .arg(o.out));
    if (o.size == 0) o.size = o.ball ? 400 : 224;
    // A double ball's two layers: the outer one from DATA.BIN, the inner one inside it.
    if (innerPath) {
        if (!o.ball)
            return Usage(QCoreApplication::translate(
                "RenderCommands", "--inner shows the inner ball: it needs --view ball"));
        if (ball.ballType == 1 && ballGiven)
            return Usage(QCoreApplication::translate(
                "RenderCommands", "--inner is for a double-layer ball (--ball 2)"));
        ball = {2, 0};
    }

    // A project folder is shown from its data.bin, compiled first when needed.
    QString dataPath = args[0];
    if (QFileInfo(args[0]).isDir()) {
        dataPath = QDir(args[0]).filePath(QStringLiteral("data.bin"));
        if (!CompiledShowIsCurrent(args[0], ball) && !CompileProject(args[0], ball)) return 1;
    }
    QString why;
    const std::optional<QByteArray> data = ReadWholeFile(dataPath, 64 << 20, &why);
    if (!data) {
        PrintErr(
            QCoreApplication::translate("RenderCommands", "cannot read %1: %2").arg(dataPath, why));
        return 1;
    }
    const std::optional<CShow> show = CShow::Read(*data, ball, &why);
    if (!show) {
        PrintErr(QStringLiteral("%1: %2").arg(dataPath, why));
        return 1;
    }
    std::optional<CShow> inner;
    if (innerPath) {
        const std::optional<QByteArray> innerData = ReadWholeFile(*innerPath, 64 << 20, &why);
        if (innerData) inner = CShow::Read(*innerData, {2, 1}, &why);
        if (!inner) {
            PrintErr(QStringLiteral("%1: %2").arg(*innerPath, why));
            return 1;
        }
        o.inner = &*inner;
    }
    const int groups = static_cast<int>(show->Groups().size());
    if (groups == 0) {
        PrintErr(QCoreApplication::translate("RenderCommands", "%1 holds no group to show")
                     .arg(dataPath));
        return 1;
    }
    if (group > groups)
        return Usage(
            QCoreApplication::translate("RenderCommands", "--group %1: the show has %2 groups")
                .arg(group)
                .arg(groups));
    if (group > 0)
        o.groups = {group - 1};
    else
        for (int g = 0; g < groups; ++g) o.groups.push_back(g);

    QByteArray bytes;
    QString summary;
    if (suffix == QLatin1String("png")) {
        const QImage still =
            o.ball ? StillBalls(*show, o.groups, o) : StillStrips(*show, o.groups, o.size);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!still.save(&buffer, "PNG")) {
            PrintErr(QCoreApplication::translate("RenderCommands", "cannot encode %1").arg(o.out));
            return 1;
        }
        summary = QStringLiteral("%1 × %2 pixels, %3 groups")
                      .arg(still.width())
                      .arg(still.height())
                      .arg(o.groups.size());
    } else {
        int frames = 0;
        long long totalMs = 0;
        const AnimationFormat format =
            suffix == QLatin1String("gif") ? AnimationFormat::Gif : AnimationFormat::Webp;
        if (!Animate(*show, o, format, &bytes, &frames, &totalMs, &why)) {
            PrintErr(QCoreApplication::translate("RenderCommands", "cannot encode %1: %2")
                         .arg(o.out, why));
            return 1;
        }
        summary = QStringLiteral("%1 frames, %2 ms").arg(frames).arg(totalMs);
    }
    if (!WriteFileAtomically(o.out, bytes, &why)) {
        PrintErr(
            QCoreApplication::translate("RenderCommands", "cannot write %1: %2").arg(o.out, why));
        return 1;
    }
    PrintOut(QCoreApplication::translate("RenderCommands", "wrote %1: %2").arg(o.out, summary));
    return 0;
}

}  // namespace glowdeck
