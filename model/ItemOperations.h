// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "led/VideoClip.h"
#include "model/EditResult.h"

namespace glowdeck {

class CGlowdeckDoc;
class CPictureConverter;
class CProjectFile;

// What the item editors do to an item, without their windows; the views and
// glowdeck-cli call these. Positions are 0-based project-file positions.
// Each is one step (CGlowdeckDoc::Edit): it writes the item's new file under
// a fresh id first, then changes and saves the project; when anything fails
// (a damaged id anywhere in the project, a source that cannot be used, a full
// disk) the item, its id and its files stay as they were and the result says
// why. Every successful one sets needs-compile.
namespace item_ops {

// The source picture of an item: decoded from `path`, or, when the file is
// missing, an opaque purple (128, 0, 128) picture of width × height that is
// saved there as JPEG first. Transparent pixels come out dark.
QImage LoadOrPlaceholder(const QString& path, int width, int height);

// "选择图像": copies `file` under a fresh id and stores "width", "height" and
// "length" (56 × width / height). False with `error`, the item and its files
// untouched, when it is no picture, cannot be decoded (within the decoder's
// allocation limit) or would be wider than the index can hold.
EditResult SetPictureSource(CGlowdeckDoc& doc, int g, int i, const QString& file);

// SetPictureSource in two steps, for an editor that does the slow one on a
// worker thread. Prepare needs no document: it checks `file` as
// SetPictureSource does (with `converter`, when given, which is left loaded
// with the picture) and copies it to `target`, the item's file under the
// fresh id `id`. Adopt, on the document's thread, points the item at the
// copy and stores its size, or removes the copy when the edit fails (also
// for an `error` of Prepare). A prepared copy that is never adopted is the
// caller's to remove.
struct PreparedPicture {
    QString id, target;
    QSize size;
    QString error;  // why the file was refused or not copied
    bool copied = false;
};
PreparedPicture PreparePictureSource(const QString& file, const QString& id, const QString& target,
                                     CPictureConverter* converter = nullptr);
EditResult AdoptPictureSource(CGlowdeckDoc& doc, int g, int i, const PreparedPicture& prepared);

// "选择动画": copies the GIF under a fresh id (an animated WebP's frames and
// delays are written as the item's GIF, as sampled frames are) and stores
// "width", "height", "framecount" (at most 50), "length", "flength" and
// "interval" (the frame delays as stored, hundredths of a second). Refused like SetPictureSource;
// "framecount" counts only the frames that can be decoded.
// With `frames` (1..50) a GIF of more frames is reduced to that many, spread
// evenly over its running time (their delays keep its total time), and
// written as the item's GIF; without it a GIF of more than 50 frames keeps
// its first 50 and `notice` says so ("动画共 58 帧，只使用前 50 帧").
// A video clip (MP4, WebM, MKV, MOV, AVI) gives the frames of `window`:
// whole when at most `frames` (50 when 0), else spread evenly to that many
// over its running time (ReadVideoClip); they are written as the item's GIF.
EditResult SetAnimationSource(CGlowdeckDoc& doc, int g, int i, const QString& file, int frames = 0,
                              QString* notice = nullptr, const ClipWindow& window = {});
// The frame counts a caller may ask SetAnimationSource for.
constexpr int MinSampledFrames = 1, MaxSampledFrames = 50;

// The text view's settings at "确定".
struct TextSettings {
    QString text;
    QString font = QStringLiteral("宋体");  // untranslated
    int fontStyle = 0;
    int fontSize = 42;          // the item's "fontsize"; em size 4 × fontSize + 20
    unsigned textColour = 255;  // 0x00BBGGRR
    unsigned backColour = 0;
    bool autoSpacing = true;
    double verticalOffset = 0, chineseOffset = 0, englishOffset = 0, symbolOffset = 0;
};
constexpr int MaxTextCharacters = 200;

// "确定": renders the text under a fresh id, converts it with the item's
// thresholds and stores the text attributes, "width", "height" and "length".
// When nothing can be rendered the result says "无法生成此种文字！" and the
// item is unchanged. `cut` is set when the text was cut to 200 characters.
// `renderedStrip`, when given, gets the strip as rendered, before conversion.
EditResult ConfirmText(CGlowdeckDoc& doc, int g, int i, TextSettings settings, bool* cut = nullptr,
                       QImage* renderedStrip = nullptr);

// ConfirmText in two steps, for an editor that renders on a worker thread.
// Prepare needs no document and runs on any thread: it renders the text
// (cut to 200 characters) to `target`, the item's file under the fresh id
// `id`, and converts it with `threshold` (TextThreshold of the item). It
// checks `cancelled`, when given, between its steps and reports them to
// `progress` (0..100); a cancelled or failed one leaves no file. Adopt, on
// the document's thread, points the item at the file and stores the
// settings and size, or removes the file when the edit fails (also for an
// `error` of Prepare). A prepared file that is never adopted is the
// caller's to remove.
struct PreparedText {
    QString id, target;
    TextSettings settings;  // as stored: the text cut to 200 characters
    bool cut = false;
    QSize size;
    QImage renderedStrip;  // before conversion
    QString error;         // why nothing was written
    bool written = false;
    bool cancelled = false;
};
PreparedText PrepareText(TextSettings settings, QRgb threshold, const QString& id,
                         const QString& target, const std::atomic<bool>* cancelled = nullptr,
                         const std::function<void(int percent)>& progress = {});
EditResult AdoptText(CGlowdeckDoc& doc, int g, int i, const PreparedText& prepared);
// The thresholds a text item is converted with, from its "r", "g", "b".
// Throws AccessError when one is missing.
QRgb TextThreshold(const CProjectFile& file, int g, int i);

// The interval view's Apply: a fresh id, "backcolor", a blank image of
// length × 56 in that colour, and "length" (1..300).
EditResult ApplyInterval(CGlowdeckDoc& doc, int g, int i, int length, unsigned backColour);

// "置换图片": the painted picture becomes the picture item's source, saved
// as BMP under a fresh id, with "width", "height" and "length" of its size.
EditResult ReplacePicture(CGlowdeckDoc& doc, int g, int i, const QImage& painted);

// What a picture or animation view stores when its sliders settle: the
// colour parameters "r", "g", "b" (0..255), dithering, and for an animation
// "loop" and "speed".
struct ConversionSettings {
    int r = 128, green = 128, b = 128;
    bool dither = false;
    std::optional<int> loop, speed;
};
EditResult StoreSettings(CGlowdeckDoc& doc, int g, int i, const ConversionSettings& settings);
// The stored settings of a picture or animation item, loop and speed for an
// animation. Throws AccessError when one is missing.
ConversionSettings ReadSettings(const CProjectFile& file, int g, int i);
// The colour parameters alone; the item's other settings stay.
EditResult SetThresholds(CGlowdeckDoc& doc, int g, int i, int r, int green, int b);

// Error diffusion of a picture or animation item: its optional "dither"
// element, text 1 when on. Absent, any other text or another kind of item
// reads as off.
bool Dithers(const CProjectFile& file, int g, int i);
// Writes the element when turning on, removes it when turning off, so an
// item that never dithered keeps its exact bytes; leaves the item alone when
// it already reads as `on` and leaves other kinds alone. Does not save.
void StoreDither(CProjectFile& file, int g, int i, bool on);
// Turns dithering of a picture or animation item on or off and saves; fails
// for another kind of item.
EditResult SetDither(CGlowdeckDoc& doc, int g, int i, bool on);

// One of the eight colour names (black, red, green, yellow, blue, magenta,
// cyan, white) or a 0xBBGGRR number.
std::optional<unsigned> ParseColour(const QString& text);

}  // namespace item_ops
}  // namespace glowdeck
