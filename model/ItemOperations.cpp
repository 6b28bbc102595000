#include "model/ItemOperations.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "led/AnimationConverter.h"
#include "led/GifReader.h"
#include "led/ImageCodec.h"
#include "led/LedOrder.h"
#include "led/PictureConverter.h"
#include "led/TextConverter.h"
#include "led/Threshold.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck::item_ops {

namespace {

QColor FromBgr(unsigned v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

// Copies `file` over `target` (replacing it).
bool CopyOver(const QString& file, const QString& target, QString* error) {
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true;
    QString why;
    if (!CopyFileAtomically(file, target, &why)) {
        if (error) *error = QStringLiteral("无法复制 %1 到 %2：%3").arg(file, target, why);
        return false;
    }
    return true;
}

// Copies the chosen source under a fresh id; the item itself is not touched
// yet, so a failed copy leaves it as it was. Empty on failure.
QString CopyUnderNewId(CGlowdeckDoc& doc, ItemKind kind, const QString& file, QString* id,
                       QString* error) {
    *id = CProjectFile::GenerateId();
    const QString target = doc.SourceImagePathFor(kind, *id);
    return CopyOver(file, target, error) ? target : QString();
}

// Points the item at its new source file.
void AdoptId(CGlowdeckDoc& doc, int g, int i, const QString& id) {
    doc.ProjectFile()->SetAttr(g, i, "id", id);
    doc.RebuildPathTables();
}

QString Refusal(const QString& file, const QString& reason) {
    return QStringLiteral("无法使用 %1：%2").arg(file, reason);
}

}  // namespace

QImage LoadOrPlaceholder(const QString& path, int width, int height) {
    if (!QFileInfo::exists(path)) {
        QImage purple(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32);
        purple.fill(QColor(128, 0, 128));
        EncodeImage(purple, path, QStringLiteral("image/jpeg"));
        return purple;
    }
    // Shown as the ball shows it: transparent pixels dark.
    return OnBlack(DecodeImage(path));
}

bool SetPictureSource(CGlowdeckDoc& doc, int g, int i, const QString& file, QString* error) {
    doc.CheckItemIds();
    // Load it as compile will before touching anything: a picture too wide
    // for the index or one that cannot be decoded is refused here, not at
    // compile time.
    CPictureConverter probe;
    if (!probe.LoadFile(file)) {
        if (error) *error = Refusal(file, probe.LoadError());
        return false;
    }
    const QSize size = ImageFileSize(file);
    // A picture too narrow for one LED column is never decoded by compile;
    // still refuse one that cannot be.
    if (probe.Width() == 0 && DecodeImageScaled(file, QSize(LedRows, LedRows)).isNull()) {
        if (error) *error = Refusal(file, QStringLiteral("unreadable image data"));
        return false;
    }
    if (!size.isValid() || size.height() == 0) {
        if (error) *error = Refusal(file, QStringLiteral("unreadable image data"));
        return false;
    }
    QString id;
    if (CopyUnderNewId(doc, ItemKind::Picture, file, &id, error).isEmpty()) return false;
    AdoptId(doc, g, i, id);
    CProjectFile& project = *doc.ProjectFile();
    project.SetInt(g, i, "width", size.width());
    project.SetInt(g, i, "height", size.height());
    project.SetInt(g, i, "length", LedWidthFor(size));
    doc.needsCompile = true;
    return doc.SaveProject();
}

bool SetAnimationSource(CGlowdeckDoc& doc, int g, int i, const QString& file, QString* error) {
    doc.CheckItemIds();
    const std::optional<GifFileInfo> info = ReadGifInfo(file, error);
    if (!info || info->frameCount < 1) {
        if (error)
            *error =
                Refusal(file, error && !error->isEmpty() ? *error : QStringLiteral("no frames"));
        return false;
    }
    // Decode the frames as compile will: a GIF too wide for the index or whose
    // frames cannot be decoded is refused before anything is touched.
    CAnimationConverter probe;
    if (!probe.LoadFile(file)) {
        if (error) *error = Refusal(file, probe.LoadError());
        return false;
    }
    const QSize size = ImageFileSize(file);
    if (!size.isValid() || size.height() == 0) {
        if (error) *error = Refusal(file, QStringLiteral("unreadable image data"));
        return false;
    }
    // Frames past one that cannot be decoded would compile dark: count only
    // the frames compile will show.
    const int frames =
        std::min({info->frameCount, CAnimationConverter::MaxFrames, probe.FrameCount()});
    const int ledWidth = LedWidthFor(size);
    QString id;
    if (CopyUnderNewId(doc, ItemKind::Animation, file, &id, error).isEmpty()) return false;
    AdoptId(doc, g, i, id);
    CProjectFile& project = *doc.ProjectFile();
    project.SetInt(g, i, "width", size.width());
    project.SetInt(g, i, "height", size.height());
    project.SetInt(g, i, "framecount", frames);
    project.SetInt(g, i, "length", ledWidth * frames);
    project.SetInt(g, i, "flength", ledWidth);
    // A still picture has no frame delay to keep: its interval is 0.
    project.SetIntList(g, i, "interval",
                       frames > 1
                           ? std::vector<int>(info->delays.begin(), info->delays.begin() + frames)
                           : std::vector<int>{0});
    doc.needsCompile = true;
    return doc.SaveProject();
}

bool ConfirmText(CGlowdeckDoc& doc, int g, int i, TextSettings s, IMessageSink* messages,
                 bool* cut) {
    doc.CheckItemIds();
    const QVector<uint> characters = s.text.toUcs4();
    if (cut) *cut = characters.size() > MaxTextCharacters;
    if (characters.size() > MaxTextCharacters)
        s.text = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                                   MaxTextCharacters);
    CProjectFile& project = *doc.ProjectFile();
    // Render under the new id first: a text that cannot be drawn leaves the
    // item and its file as they were.
    const QString id = CProjectFile::GenerateId();
    const QString target = doc.SourceImagePathFor(ItemKind::Text, id);
    TextRenderParams params;
    params.text = s.text;
    params.fontName = s.font;
    params.fontStyle = s.fontStyle;
    params.emSize = s.fontSize * 4 + 20;
    params.backColour = s.backColour;
    params.textColour = s.textColour;
    params.autoSpacing = s.autoSpacing;
    params.chineseOffset = s.chineseOffset;
    params.englishOffset = s.englishOffset;
    params.symbolOffset = s.symbolOffset;
    params.verticalOffset = s.verticalOffset;
    CTextConverter& converter = doc.textConverter;
    if (!converter.RenderText(target, params, messages)) return false;
    project.SetAttr(g, i, "id", id);
    project.SetText(g, i, "text", s.text);
    project.SetText(g, i, "font", s.font);
    project.SetInt(g, i, "fontstyle", s.fontStyle);
    project.SetInt(g, i, "backcolor", static_cast<int>(s.backColour));
    project.SetInt(g, i, "textcolor", static_cast<int>(s.textColour));
    project.SetInt(g, i, "fontsize", s.fontSize);
    const QSize size = ImageFileSize(target);
    project.SetInt(g, i, "width", size.width());
    project.SetInt(g, i, "height", size.height());
    project.SetInt(g, i, "length", size.height() > 0 ? 56 * size.width() / size.height() : 0);
    // Convert with the item's thresholds; the converted picture replaces the
    // rendered one on disk. It is written losslessly: JPEG's colour
    // subsampling would turn thin coloured strokes into other colours.
    converter.Release();
    if (converter.LoadFile(target)) {
        converter.SetThreshold(ThresholdColour(project.GetInt(g, i, "r"), project.GetInt(g, i, "g"),
                                               project.GetInt(g, i, "b")));
        converter.Convert(BallConfig{});
        EncodeImage(converter.LedImage(), target, QStringLiteral("image/bmp"));
        converter.Release();
    }
    doc.needsCompile = true;
    return doc.SaveProject();
}

bool ApplyInterval(CGlowdeckDoc& doc, int g, int i, int length, unsigned backColour) {
    doc.CheckItemIds();
    length = std::clamp(length, 1, 300);
    CProjectFile& project = *doc.ProjectFile();
    const QString id = project.NewItemId(g, i);
    project.SetInt(g, i, "backcolor", static_cast<int>(backColour));
    doc.SaveProject();
    doc.RebuildPathTables();
    QImage blank(length, 56, QImage::Format_ARGB32);
    blank.fill(FromBgr(backColour));
    EncodeImage(blank, doc.SourceImagePathFor(ItemKind::Interval, id),
                QStringLiteral("image/jpeg"));
    project.SetInt(g, i, "length", length);
    doc.needsCompile = true;
    return doc.SaveProject();
}

bool SetThresholds(CGlowdeckDoc& doc, int g, int i, int r, int green, int b) {
    doc.CheckItemIds();
    CProjectFile& project = *doc.ProjectFile();
    project.SetInt(g, i, "r", std::clamp(r, 0, 255));
    project.SetInt(g, i, "g", std::clamp(green, 0, 255));
    project.SetInt(g, i, "b", std::clamp(b, 0, 255));
    doc.needsCompile = true;
    return doc.SaveProject();
}

namespace {
constexpr char kDither[] = "dither";

bool CanDither(const CProjectFile& file, int g, int i) {
    const auto kind = KindFromElementName(file.ItemKindOf(g, i));
    return kind == ItemKind::Picture || kind == ItemKind::Animation;
}
}  // namespace

bool Dithers(const CProjectFile& file, int g, int i) {
    return CanDither(file, g, i) && file.HasProperty(g, i, kDither) &&
           file.GetText(g, i, kDither).trimmed() == QLatin1String("1");
}

void StoreDither(CProjectFile& file, int g, int i, bool on) {
    if (!CanDither(file, g, i) || Dithers(file, g, i) == on) return;
    if (on)
        file.SetOptionalText(g, i, kDither, QStringLiteral("1"));
    else
        file.RemoveProperty(g, i, kDither);
}

bool SetDither(CGlowdeckDoc& doc, int g, int i, bool on, QString* error) {
    doc.CheckItemIds();
    CProjectFile& project = *doc.ProjectFile();
    if (!CanDither(project, g, i)) {
        if (error) *error = QStringLiteral("only picture and animation items dither");
        return false;
    }
    if (Dithers(project, g, i) == on) return true;  // nothing to write
    StoreDither(project, g, i, on);
    doc.needsCompile = true;
    return doc.SaveProject();
}

std::optional<unsigned> ParseColour(const QString& text) {
    static const std::pair<const char*, unsigned> names[] = {
        {"black", 0x000000}, {"red", 0x0000FF},     {"green", 0x00FF00}, {"yellow", 0x00FFFF},
        {"blue", 0xFF0000},  {"magenta", 0xFF00FF}, {"cyan", 0xFFFF00},  {"white", 0xFFFFFF},
    };
    for (const auto& [name, value] : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return value;
    bool ok = false;
    const unsigned value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                               ? text.mid(2).toUInt(&ok, 16)
                               : text.toUInt(&ok, 10);
    if (!ok || value > 0xFFFFFF) return std::nullopt;
    return value;
}

}  // namespace glowdeck::item_ops
