// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/EditCommands.h"

#include <QCoreApplication>

#include "base/MessageSink.h"
#include "cli/CliSupport.h"
#include "led/TextPainter.h"
#include "led/VideoClip.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ItemTemplate.h"
#include "model/ProjectLimits.h"
#include "model/TreeRules.h"

namespace glowdeck {

namespace {

// Font sizes the text renderer is given (em size 4 × size + 20 pixels).
constexpr int kMaxFontSize = 200;

// An item addressed as the user interface counts (groups and shown items from 1).
struct Target {
    int g = -1, i = -1;  // project-file positions, 0-based
    ItemKind kind = ItemKind::Picture;
};

std::optional<Target> Resolve(CGlowdeckDoc& doc, const QString& group, const QString& item) {
    const auto g = ParseNumber(group, 1, MaxGroups), n = ParseNumber(item, 1, MaxItemsPerGroup);
    const CProjectFile& file = *doc.ProjectFile();
    if (!g || !n || *g > file.GroupCount()) {
        PrintErr(
            QCoreApplication::translate("EditCommands", "no item %1 in group %2").arg(item, group));
        return std::nullopt;
    }
    const int position = FilePosition(file, *g, *n);
    if (position == 0) {
        PrintErr(
            QCoreApplication::translate("EditCommands", "no item %1 in group %2").arg(item, group));
        return std::nullopt;
    }
    Target t;
    t.g = *g - 1;
    t.i = position - 1;
    t.kind = *KindFromElementName(file.ItemKindOf(t.g, t.i));
    return t;
}

// A project opened for editing one item.
struct EditSession {
    StderrMessageSink messages;
    CGlowdeckDoc doc{messages};
    Target target;
    // 0 when the item was found, else the exit code (the reason is printed).
    int Open(const QString& project, const QString& group, const QString& item) {
        if (!OpenProjectForCli(doc, project)) return 1;
        const auto t = Resolve(doc, group, item);
        if (!t) return 1;
        target = *t;
        return 0;
    }
};

void PrintStored(const CProjectFile& file, const Target& t,
                 std::initializer_list<const char*> names) {
    QStringList parts{QStringLiteral("id=") + file.GetAttr(t.g, t.i, "id")};
    for (const char* name : names)
        parts << QStringLiteral("%1=%2").arg(QLatin1String(name), file.GetText(t.g, t.i, name));
    PrintOut(parts.join(QLatin1Char(' ')));
}

// The longest stretch of a clip --start and --duration name: a day.
constexpr double kMaxClipSeconds = 86400;

// Removes "--NAME SECONDS" from `args` into `out`: seconds from 0 (above 0
// when `positive`) to a day, a fraction allowed. False, with the reason
// printed, on any other value; true with `out` unchanged when absent.
bool TakeSeconds(QStringList& args, const QString& name, bool positive, double* out) {
    const std::optional<QString> text = TakeOption(args, name);
    if (!text) return true;
    const std::optional<double> value = ParseDecimal(*text, 0, kMaxClipSeconds);
    if (!value || (positive && *value <= 0)) {
        PrintErr(QCoreApplication::translate(
                     "EditCommands", "%1 takes seconds %2 %3 (a fraction allowed), not \"%4\"")
                     .arg(name, positive
                                    ? QCoreApplication::translate("EditCommands", "above 0 up to")
                                    : QCoreApplication::translate("EditCommands", "from 0 to"))
                     .arg(kMaxClipSeconds)
                     .arg(*text));
        return false;
    }
    *out = *value;
    return true;
}

// --start and --duration take a video clip whose frames reach past the start.
bool CheckClipWindow(const QString& file, const ClipWindow& window) {
    if (!IsVideoFile(file)) {
        PrintErr(QCoreApplication::translate(
            "EditCommands", "--start and --duration take a video clip (MP4, WebM, MKV, MOV, AVI)"));
        return false;
    }
    if (window.start <= 0) return true;
    // A clip whose length cannot be read is refused by the edit, with the reason.
    const std::optional<double> length = ReadVideoLength(file);
    if (length && window.start >= *length) {
        PrintErr(QCoreApplication::translate("EditCommands",
                                             "--start %1 is past the end of the clip (%2 seconds)")
                     .arg(window.start)
                     .arg(*length, 0, 'f', 2));
        return false;
    }
    return true;
}

}  // namespace

int RunSetSource(const QStringList& arguments) {
    QStringList args = arguments;
    // Animations only: the number of frames to spread evenly over the source.
    int frames = 0;
    const bool framesGiven = args.contains(QStringLiteral("--frames"));
    if (!TakeNumber(args, QStringLiteral("--frames"), item_ops::MinSampledFrames,
                    item_ops::MaxSampledFrames, &frames))
        return 2;
    // Video clips only: the stretch to take, in seconds.
    ClipWindow window;
    const bool windowGiven =
        args.contains(QStringLiteral("--start")) || args.contains(QStringLiteral("--duration"));
    if (!TakeSeconds(args, QStringLiteral("--start"), false, &window.start) ||
        !TakeSeconds(args, QStringLiteral("--duration"), true, &window.duration))
        return 2;
    if (args.size() != 4 || (framesGiven && frames == 0)) {
        PrintErr(QCoreApplication::translate(
            "EditCommands",
            "usage: glowdeck-cli set-source PROJECT GROUP ITEM FILE [--frames N] "
            "[--start SECONDS] [--duration SECONDS]"));
        return 2;
    }
    if (windowGiven && !CheckClipWindow(args[3], window)) return 2;
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind == ItemKind::Picture) {
        if (frames > 0 || windowGiven) {
            PrintErr(QCoreApplication::translate("EditCommands", "%1 take%2 an animation item")
                         .arg(frames > 0 ? QStringLiteral("--frames")
                                         : QCoreApplication::translate("EditCommands",
                                                                       "--start and --duration"),
                              frames > 0 ? QStringLiteral("s") : QString()));
            return 2;
        }
        if (const EditResult set = item_ops::SetPictureSource(doc, t->g, t->i, args[3]); !set)
            return PrintErr(set.message), 1;
        PrintStored(*doc.ProjectFile(), *t, {"width", "height", "length"});
    } else if (t->kind == ItemKind::Animation) {
        QString notice;
        if (const EditResult set =
                item_ops::SetAnimationSource(doc, t->g, t->i, args[3], frames, &notice, window);
            !set)
            return PrintErr(set.message), 1;
        if (!notice.isEmpty()) PrintErr(notice);
        PrintStored(*doc.ProjectFile(), *t,
                    {"width", "height", "framecount", "length", "flength", "interval"});
    } else {
        PrintErr(QCoreApplication::translate("EditCommands",
                                             "set-source takes a picture or an animation item"));
        return 2;
    }
    SayIfShowTooLarge(doc);
    return 0;
}

int RunSetText(const QStringList& arguments) {
    QStringList args = arguments;
    item_ops::TextSettings s;
    if (const auto face = TakeOption(args, QStringLiteral("--font"))) s.font = *face;
    auto colour = [&](const char* option, unsigned* out) {
        if (const auto v = TakeOption(args, QString::fromLatin1(option))) {
            const auto c = item_ops::ParseColour(*v);
            if (!c)
                PrintErr(QCoreApplication::translate("EditCommands", "%1: not a colour: %2")
                             .arg(QLatin1String(option), *v));
            else
                *out = *c;
            return c.has_value();
        }
        return true;
    };
    if (!TakeNumber(args, QStringLiteral("--size"), 0, kMaxFontSize, &s.fontSize) ||
        !TakeNumber(args, QStringLiteral("--style"), 0, StyleAll, &s.fontStyle) ||
        !colour("--color", &s.textColour) || !colour("--background", &s.backColour))
        return 2;
    s.autoSpacing = args.removeAll(QStringLiteral("--manual-spacing")) == 0;
    if (const auto offsets = TakeOption(args, QStringLiteral("--offsets"))) {
        double* targets[4] = {&s.verticalOffset, &s.chineseOffset, &s.englishOffset,
                              &s.symbolOffset};
        const QStringList v = offsets->split(QLatin1Char(','));
        for (int k = 0; k < 4 && v.size() == 4; ++k) {
            const auto value = ParseDecimal(v[k], -TextOffsetLimit(k), TextOffsetLimit(k));
            if (!value) {
                PrintErr(QCoreApplication::translate(
                             "EditCommands", "--offsets: \"%1\" is not a number from %2 to %3")
                             .arg(v[k])
                             .arg(-TextOffsetLimit(k))
                             .arg(TextOffsetLimit(k)));
                return 2;
            }
            *targets[k] = *value;
        }
        if (v.size() != 4) {
            PrintErr(QCoreApplication::translate(
                "EditCommands", "--offsets takes VERTICAL,CHINESE,ENGLISH,PUNCTUATION"));
            return 2;
        }
    }
    if (args.size() != 4) {
        PrintErr(QCoreApplication::translate(
            "EditCommands",
            "usage: glowdeck-cli set-text PROJECT GROUP ITEM TEXT [--font FACE] "
            "[--size N] [--style N] "
            "[--color C] [--background C] [--manual-spacing] [--offsets V,C,E,P]"));
        return 2;
    }
    s.text = args[3];
    // Bytes that are not UTF-8 reach us as replacement characters.
    if (s.text.contains(QChar::ReplacementCharacter)) {
        PrintErr(QCoreApplication::translate("EditCommands", "TEXT is not valid UTF-8"));
        return 2;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind != ItemKind::Text) {
        PrintErr(QCoreApplication::translate("EditCommands", "set-text takes a text item"));
        return 2;
    }
    // A longer text is refused whole rather than stored cut short.
    if (const auto characters = s.text.toUcs4().size(); characters > item_ops::MaxTextCharacters)
        return PrintErr(QCoreApplication::translate("EditCommands",
                                                    "文字最多 %1 个字符，这段文字有 %2 个")
                            .arg(item_ops::MaxTextCharacters)
                            .arg(characters)),
               1;
    if (const EditResult set = item_ops::ConfirmText(doc, t->g, t->i, s); !set)
        return PrintErr(set.message), 1;
    PrintStored(*doc.ProjectFile(), *t,
                {"text", "font", "fontstyle", "fontsize", "textcolor", "backcolor", "width",
                 "height", "length"});
    SayIfShowTooLarge(doc);
    return 0;
}

int RunSetInterval(const QStringList& arguments) {
    QStringList args = arguments;
    const auto length = TakeOption(args, QStringLiteral("--length"));
    const auto background = TakeOption(args, QStringLiteral("--background"));
    if (args.size() != 3) {
        PrintErr(QCoreApplication::translate(
            "EditCommands",
            "usage: glowdeck-cli set-interval PROJECT GROUP ITEM [--length N] [--background C]"));
        return 2;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind != ItemKind::Interval) {
        PrintErr(
            QCoreApplication::translate("EditCommands", "set-interval takes an interval item"));
        return 2;
    }
    const CProjectFile& file = *doc.ProjectFile();
    int columns = file.GetInt(t->g, t->i, "length");
    unsigned colour = static_cast<unsigned>(file.GetInt(t->g, t->i, "backcolor"));
    if (length) {
        const auto value = ParseNumber(*length, MinIntervalLength, MaxIntervalLength);
        if (!value) {
            PrintErr(QCoreApplication::translate("EditCommands", "--length takes %1 to %2")
                         .arg(MinIntervalLength)
                         .arg(MaxIntervalLength));
            return 2;
        }
        columns = *value;
    }
    if (background) {
        const auto c = item_ops::ParseColour(*background);
        if (!c) {
            PrintErr(
                QCoreApplication::translate("EditCommands", "not a colour: %1").arg(*background));
            return 2;
        }
        colour = *c;
    }
    if (const EditResult set = item_ops::ApplyInterval(doc, t->g, t->i, columns, colour); !set)
        return PrintErr(set.message), 1;
    PrintStored(*doc.ProjectFile(), *t, {"length", "backcolor"});
    return 0;
}

int RunSetThreshold(const QStringList& args) {
    if (args.size() != 6) {
        PrintErr(QCoreApplication::translate(
            "EditCommands", "usage: glowdeck-cli set-threshold PROJECT GROUP ITEM R G B"));
        return 2;
    }
    int values[3];
    for (int k = 0; k < 3; ++k) {
        const auto value = ParseNumber(args[3 + k], 0, 255);
        if (!value) {
            PrintErr(QCoreApplication::translate("EditCommands", "R, G and B take 0 to 255"));
            return 2;
        }
        values[k] = *value;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (const EditResult set =
            item_ops::SetThresholds(doc, t->g, t->i, values[0], values[1], values[2]);
        !set)
        return PrintErr(set.message), 1;
    PrintStored(*doc.ProjectFile(), *t, {"r", "g", "b"});
    return 0;
}

int RunSetDither(const QStringList& args) {
    if (args.size() != 4) {
        PrintErr(QCoreApplication::translate(
            "EditCommands", "usage: glowdeck-cli set-dither PROJECT GROUP ITEM on|off"));
        return 2;
    }
    const QString word = args[3].toLower();
    if (word != QLatin1String("on") && word != QLatin1String("off")) {
        PrintErr(QCoreApplication::translate("EditCommands", "set-dither takes on or off, not %1")
                     .arg(args[3]));
        return 2;
    }
    EditSession session;
    if (const int failed = session.Open(args[0], args[1], args[2])) return failed;
    CGlowdeckDoc& doc = session.doc;
    const Target* t = &session.target;
    if (t->kind != ItemKind::Picture && t->kind != ItemKind::Animation) {
        PrintErr(QCoreApplication::translate("EditCommands",
                                             "set-dither takes a picture or an animation item"));
        return 2;
    }
    const bool on = word == QLatin1String("on");
    if (const EditResult set = item_ops::SetDither(doc, t->g, t->i, on); !set)
        return PrintErr(set.message), 1;
    PrintOut(QStringLiteral("id=%1 dither=%2")
                 .arg(doc.ProjectFile()->GetAttr(t->g, t->i, "id"),
                      item_ops::Dithers(*doc.ProjectFile(), t->g, t->i) ? QStringLiteral("on")
                                                                        : QStringLiteral("off")));
    return 0;
}

}  // namespace glowdeck
